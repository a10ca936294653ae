#pragma once

#include <windows.h>

#include "base/dll_search_win.h"
#include "base/module_win.h"

namespace base {

// An export of a Windows system DLL that only rare paths need (the shell's folder browser, the
// tooltip control): the DLL is loaded from the system folder on first use instead of at every
// start of the launcher. Once loaded it stays for the life of the process, since shell and COM
// libraries may leave threads behind that need their code. Null when the DLL or the export is
// missing.
template <typename Function>
[[nodiscard]] Function systemFunction(const wchar_t* dllName, const char* exportName) {
    HMODULE module = GetModuleHandleW(dllName);
    if (module == nullptr) module = loadSystemLibrary(dllName).release();
    if (module == nullptr) return nullptr;
    return procAddress<Function>(module, exportName);
}

}  // namespace base

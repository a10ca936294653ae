#pragma once

#include <windows.h>

#include <string>

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
    if (module == nullptr) {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::wstring path = std::wstring(folder, length) + L"\\" + dllName;
        module = LoadLibraryW(path.c_str());
        if (module == nullptr) return nullptr;
    }
    return procAddress<Function>(module, exportName);
}

}  // namespace base

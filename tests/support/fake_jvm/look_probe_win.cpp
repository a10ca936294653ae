#include <windows.h>

#include "tests/support/fake_jvm/look_probe_win.h"

#include <string>

#include "base/module_win.h"
#include "tests/support/fake_jvm/record_win.h"

namespace fakejvm {
namespace {

// The library that implements the "Button" class this process gets, by base name. Only Common
// Controls 6 implements buttons; without it the window library's own button serves.
std::string buttonLibrary() {
    HWND button = CreateWindowExW(0, L"Button", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    if (button == nullptr) return "none";
    const auto procedure = GetWindowLongPtrW(button, GWLP_WNDPROC);
    DestroyWindow(button);
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(procedure), &module)) {
        return "unknown";
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    std::string name;
    for (DWORD i = length; i > 0 && path[i - 1] != L'\\'; --i) {
        name.insert(name.begin(), static_cast<char>(towlower(path[i - 1])));
    }
    return name;
}

// GetThreadDpiAwarenessContext is what a current JVM asks; GetProcessDpiAwareness what older
// ones ask. Either may be missing on the system.
std::string dpiAwareness() {
    using GetContextFn = void*(WINAPI*)();
    using AwarenessFromContextFn = int(WINAPI*)(void*);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto getContext = base::procAddress<GetContextFn>(user32, "GetThreadDpiAwarenessContext");
    const auto fromContext =
        base::procAddress<AwarenessFromContextFn>(user32, "GetAwarenessFromDpiAwarenessContext");
    if (getContext == nullptr || fromContext == nullptr) return "unknown";
    switch (fromContext(getContext())) {
        case 0:
            return "unaware";
        case 1:
            return "system";
        case 2:
            return "per-monitor";
        default:
            return "unknown";
    }
}

}  // namespace

void recordLookIfAsked() noexcept {
    if (GetEnvironmentVariableW(L"FAKEJVM_PROBE_LOOK", nullptr, 0) == 0) return;
    try {
        record("look buttons=" + buttonLibrary());
        record("look dpi=" + dpiAwareness());
    } catch (...) {
        record("look failed");
    }
}

}  // namespace fakejvm

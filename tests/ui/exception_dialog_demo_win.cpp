// Shows the exception dialog for screenshots: opens it, announces each stage by creating a
// file in the current folder and waits for the matching ".done" file before going on
// (enlarging the dialog by 100 x 50 pixels, then pressing Stop).
#include <windows.h>

#include <string>
#include <thread>

#include "ui/exception_dialog_win.h"

namespace {

bool fileExists(const wchar_t* name) { return GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES; }

void announce(const wchar_t* name) {
    HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// Waits up to a minute for the screenshot of a stage.
void awaitDone(const wchar_t* name) {
    for (int i = 0; i < 600 && !fileExists(name); ++i) Sleep(100);
}

BOOL CALLBACK takeVisibleWindow(HWND window, LPARAM lParam) noexcept {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
}

HWND findDialog(DWORD thread) {
    for (int i = 0; i < 300; ++i) {
        HWND found = nullptr;
        EnumThreadWindows(thread, &takeVisibleWindow, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr) return found;
        Sleep(100);
    }
    return nullptr;
}

}  // namespace

int wmain() {
    std::wstring trace = L"java.lang.IllegalStateException: configuration missing\r\n";
    for (int i = 0; i < 30; ++i) {
        trace += L"\tat com.example.app.Loader.step" + std::to_wstring(i) + L"(Loader.java:" +
                 std::to_wstring(100 + i) + L")\r\n";
    }
    const DWORD self = GetCurrentThreadId();
    std::thread driver([self] {
        HWND dialog = findDialog(self);
        if (dialog == nullptr) return;
        Sleep(500);
        announce(L"before.ready");
        awaitDone(L"before.done");
        RECT rect{};
        GetWindowRect(dialog, &rect);
        SetWindowPos(dialog, nullptr, 0, 0, rect.right - rect.left + 100,
                     rect.bottom - rect.top + 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Sleep(500);
        announce(L"after.ready");
        awaitDone(L"after.done");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    const bool stop = ui::showExceptionDialog(trace);
    driver.join();
    return stop ? 0 : 1;
}

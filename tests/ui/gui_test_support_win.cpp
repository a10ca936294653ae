#include <windows.h>

#include "tests/ui/gui_test_support_win.h"

#include <vector>

namespace ui::testing {
namespace {

struct Search {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK matchClass(HWND window, LPARAM lParam) noexcept {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND waitForThreadWindow(DWORD threadId, const wchar_t* className,
                         std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        Search search{className, nullptr};
        EnumThreadWindows(threadId, &matchClass, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && IsWindowVisible(search.found)) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return nullptr;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

RECT clientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int runWithDriver(const std::function<int()>& show, const std::function<void(DWORD)>& drive) {
    const DWORD self = GetCurrentThreadId();
    std::atomic<bool> started{false};
    std::thread driver([&] {
        started = true;
        drive(self);
    });
    // Wine's 32-bit loader under qemu-user crashes when threads start at the same time, and
    // the first window may start threads of Wine's own: let the driver finish starting first.
    while (!started) Sleep(1);
    const int result = show();
    driver.join();
    return result;
}

}  // namespace ui::testing

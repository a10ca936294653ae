#include <windows.h>

#include "ui/center_window_win.h"

#include "ui/dialog_layout.h"

namespace ui {
namespace {

LayoutRect toLayout(const RECT& rect) noexcept {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

void centerWindow(HWND window) {
    RECT windowRect{};
    if (!GetWindowRect(window, &windowRect)) return;
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;

    LayoutRect area;
    LayoutRect centre;
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_CHILD) != 0) {
        HWND parent = GetParent(window);
        RECT client{};
        if (parent == nullptr || !GetClientRect(parent, &client)) return;
        area = toLayout(client);
        centre = area;
    } else {
        HWND reference = GetWindow(window, GW_OWNER);
        if (reference != nullptr && (!IsWindowVisible(reference) || IsIconic(reference))) {
            reference = nullptr;
        }
        HMONITOR monitor =
            MonitorFromWindow(reference != nullptr ? reference : window, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return;
        area = toLayout(info.rcWork);
        RECT referenceRect{};
        centre = reference != nullptr && GetWindowRect(reference, &referenceRect)
                     ? toLayout(referenceRect)
                     : area;
    }

    const LayoutPoint origin = centredPosition(centre, area, width, height);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui

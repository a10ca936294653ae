#include <windows.h>

#include "ui/dialog_resize_win.h"

namespace ui {
namespace {

// The control's rectangle in its dialog's client coordinates.
bool clientRectOf(HWND dialog, HWND control, LayoutRect& rect) noexcept {
    RECT bounds{};
    if (!GetWindowRect(control, &bounds)) return false;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
    rect = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    return true;
}

// A group box paints only its frame and caption. With WS_CLIPCHILDREN on the dialog nothing
// would paint its interior (moved controls would leave copies behind there); a transparent
// child is not clipped out of its parent's painting.
BOOL CALLBACK makeGroupBoxTransparent(HWND child, LPARAM) noexcept {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    const auto style = GetWindowLongPtrW(child, GWL_STYLE);
    if (lstrcmpiW(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) {
        SetWindowLongPtrW(child, GWL_EXSTYLE,
                          GetWindowLongPtrW(child, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    }
    return TRUE;
}

constexpr DWORD kSizeGripStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX |
                                 SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEGRIP;

}  // namespace

void DialogResize::initialize(HWND dialog, std::span<const LayoutEntry> layout) {
    controls_.clear();
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
    EnumChildWindows(dialog, &makeGroupBoxTransparent, 0);
    if ((GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CHILD) == 0) {
        SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                          GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_DLGMODALFRAME);
        // The modal frame keeps the caption free of an icon unless the dialog set one.
        if (SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) == 0) {
            SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0);
        }
    }

    RECT client{};
    GetClientRect(dialog, &client);
    initialWidth_ = client.right - client.left;
    initialHeight_ = client.bottom - client.top;

    hasSizeGrip_ = GetDlgItem(dialog, kSizeGripId) != nullptr;
    if (!hasSizeGrip_) {
        HWND grip = CreateWindowExW(0, L"SCROLLBAR", nullptr, kSizeGripStyle, client.left,
                                    client.top, client.right, client.bottom, dialog,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSizeGripId)),
                                    GetModuleHandleW(nullptr), nullptr);
        hasSizeGrip_ = grip != nullptr;
        LayoutRect rect;
        if (hasSizeGrip_ && clientRectOf(dialog, grip, rect)) {
            controls_.push_back({kSizeGripId, kMoveX | kMoveY | kRepaint, rect});
        }
    }

    RECT window{};
    GetWindowRect(dialog, &window);
    minimumTrackSize_ = {window.right - window.left, window.bottom - window.top};

    for (const LayoutEntry& entry : layout) {
        HWND control = GetDlgItem(dialog, entry.controlId);
        LayoutRect rect;
        if (control != nullptr && clientRectOf(dialog, control, rect)) {
            controls_.push_back({entry.controlId, entry.flags, rect});
        }
    }
}

void DialogResize::onSize(HWND dialog, WPARAM sizeType, int clientWidth, int clientHeight) {
    if (hasSizeGrip_) {
        if (HWND grip = GetDlgItem(dialog, kSizeGripId); grip != nullptr) {
            if (sizeType == SIZE_MAXIMIZED) ShowWindow(grip, SW_HIDE);
            if (sizeType == SIZE_RESTORED) ShowWindow(grip, SW_SHOW);
        }
    }
    if (sizeType == SIZE_MINIMIZED) return;

    const int dx = clientWidth - initialWidth_;
    const int dy = clientHeight - initialHeight_;
    const bool redrawOff = IsWindowVisible(dialog) != FALSE;
    if (redrawOff) SendMessageW(dialog, WM_SETREDRAW, FALSE, 0);
    for (const LaidOutControl& laidOut : controls_) {
        HWND control = GetDlgItem(dialog, laidOut.controlId);
        LayoutRect current;
        if (control == nullptr || !clientRectOf(dialog, control, current)) continue;
        const LayoutRect target = laidOutRect(current, laidOut.recorded, laidOut.flags, dx, dy);
        if ((laidOut.flags & kRepaint) != 0) InvalidateRect(control, nullptr, TRUE);
        SetWindowPos(control, nullptr, target.left, target.top, target.width(), target.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (redrawOff) SendMessageW(dialog, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void DialogResize::onGetMinMaxInfo(MINMAXINFO& info) const noexcept {
    if (minimumTrackSize_.x != -1 && minimumTrackSize_.y != -1) {
        info.ptMinTrackSize = minimumTrackSize_;
    }
}

}  // namespace ui

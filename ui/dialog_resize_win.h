#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "ui/dialog_layout.h"

namespace ui {

// One row of a resizable dialog's layout map: a control and how it follows the dialog's size
// (LayoutFlag bits).
struct LayoutEntry {
    int controlId = 0;
    unsigned flags = 0;
};

// Makes a dialog resizable: controls grow and move with the client area as the layout map
// says, the dialog never gets smaller than it opened, and a size grip sits in the bottom-right
// corner (hidden while maximised). The dialog forwards WM_SIZE and WM_GETMINMAXINFO here.
class DialogResize {
  public:
    static constexpr int kSizeGripId = 0xE801;

    // Call from WM_INITDIALOG, after the dialog has its final opening size.
    void initialize(HWND dialog, std::span<const LayoutEntry> layout);
    void onSize(HWND dialog, WPARAM sizeType, int clientWidth, int clientHeight);
    void onGetMinMaxInfo(MINMAXINFO& info) const noexcept;

  private:
    struct LaidOutControl {
        int controlId = 0;
        unsigned flags = 0;
        LayoutRect recorded;
    };

    std::vector<LaidOutControl> controls_;
    int initialWidth_ = 0;
    int initialHeight_ = 0;
    POINT minimumTrackSize_{-1, -1};
    bool hasSizeGrip_ = false;
};

}  // namespace ui

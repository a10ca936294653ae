#pragma once

#include <windows.h>

namespace ui {

// Centres a top-level window on its owner when the owner is visible and not minimised, else
// on the work area of the nearest monitor, keeping it inside that work area (a window larger
// than the area goes to its left and top edges). A child window is centred in its parent's
// client area.
void centerWindow(HWND window);

}  // namespace ui

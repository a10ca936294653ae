#pragma once

#include <windows.h>

// Internals shared by the window-object framework's sources.
namespace ui::detail {

// Holds, for its scope, the one lock that guards the creation list and window-class
// registration.
class FrameworkLock {
  public:
    FrameworkLock() noexcept;
    ~FrameworkLock();
    FrameworkLock(const FrameworkLock&) = delete;
    FrameworkLock& operator=(const FrameworkLock&) = delete;
};

// The window procedure own window classes are registered with: binds the object pushed for
// the creating thread at the window's first message.
LRESULT CALLBACK startWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;

}  // namespace ui::detail

#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace ui::testing {

// The first top-level window of the given class that the thread owns, waiting up to `timeout`.
HWND waitForThreadWindow(DWORD threadId, const wchar_t* className,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));

// GetWindowTextW read whole.
std::wstring windowText(HWND window);

// A control's rectangle in its parent's client coordinates.
RECT clientRectOf(HWND control);

// Runs `show` (which blocks in a modal loop) on this thread while `drive` runs on another
// thread with this thread's id. `drive` must end the modal loop.
int runWithDriver(const std::function<int()>& show, const std::function<void(DWORD)>& drive);

}  // namespace ui::testing

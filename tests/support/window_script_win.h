#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/run_and_watch_win.h"

// Steps for working a window of another process from a runAndWatch handler, where a dialog has
// to be driven through several stages (a second window opening and closing, controls changing).
namespace support {

// The first visible top-level window of the process that `matches`, waiting up to `timeoutMs`;
// null when none appeared.
[[nodiscard]] HWND waitForProcessWindow(DWORD processId,
                                        const std::function<bool(const WindowInfo&)>& matches,
                                        DWORD timeoutMs = 20000);

// Waits until the window is gone; false on time-out.
bool waitUntilClosed(HWND window, DWORD timeoutMs = 20000);

// The text of a control (WM_GETTEXT across processes).
[[nodiscard]] std::wstring textOf(HWND window);

// Selects `folder` in a shell folder browser of another process (BFFM_SETSELECTIONW, with the
// path copied into that process's memory), once the browser has filled its tree. False when the
// selection did not move away from the tree's root (the folder must not be the root itself).
bool selectFolderInBrowser(HWND browser, DWORD processId, const std::wstring& folder);

// Whether another process's memory can be read and written as it is. Not so where Wine's
// 32-bit side runs through qemu-user: the server then reads and writes host addresses that
// differ from the emulated ones (ReadProcessMemory of a process's own buffer gives other
// bytes), so nothing can be copied into a 32-bit process.
[[nodiscard]] bool processMemoryIsReachable();

// Real input, as the user makes it: the mouse moved to a screen point, a left click there, a key
// pressed and released.
void moveMouseTo(POINT screen);
void pressMouseAt(POINT screen);
void releaseMouseAt(POINT screen);
void clickAt(POINT screen);
void pressKey(WORD virtualKey);

// The screen point at `offset` inside the control's client area.
[[nodiscard]] POINT screenPointOf(HWND control, POINT offset);

// Saves what the screen shows of the window as a PNG file. False when it could not be written.
bool saveWindowPicture(HWND window, const std::wstring& pngPath);

// True when some pixel the screen shows of the window has exactly this colour.
[[nodiscard]] bool windowShowsColor(HWND window, COLORREF color);

}  // namespace support

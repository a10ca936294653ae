#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/run_and_watch_win.h"
#include "tests/support/window_script_win.h"

// Working the launcher's JRE-not-found dialog from a test: recognising it and the shell's folder
// browser it opens, picking a folder there, and reading back what the dialog then shows.
namespace e2e {

inline constexpr wchar_t kJreDialogTitle[] = L"JRE Not Found";

[[nodiscard]] bool isJreDialog(const support::WindowInfo& window);

// A shell folder browser: a dialog holding a tree view.
[[nodiscard]] bool isFolderBrowser(const support::WindowInfo& window);

// Opens the folder browser with the Browse button, picks `folder` there and waits until the
// browser is gone. False when a step failed.
bool browseTo(const support::WindowInfo& dialog, const std::wstring& folder);

// A window handler for a launch whose runtime the user picks: it answers the first JRE dialog by
// picking `folder` and pressing OK (closing the dialog when the pick fails) and cancels any later
// one, counting them in `dialogs`; other windows are left alone.
[[nodiscard]] support::WindowHandler pickingFolder(std::wstring folder, int& dialogs);

struct JreDialogState {
    bool okEnabled = false;
    std::wstring hint;
    std::wstring path;
};

// The dialog's state once its folder box shows `folder` (empty: at once) and the dialog has
// finished with the pick.
[[nodiscard]] JreDialogState jreDialogStateOf(const support::WindowInfo& dialog,
                                              const std::wstring& folder = L"");

}  // namespace e2e

// Picking a folder means copying its path into the launcher's memory; where that cannot work,
// a case that browses is skipped rather than failed for the harness's sake.
#define SKIP_UNLESS_FOLDERS_CAN_BE_PICKED()                                                      \
    if (!support::processMemoryIsReachable())                                                    \
    GTEST_SKIP() << "this machine runs 32-bit Wine through qemu-user, where no test can copy a " \
                    "folder into the launcher's folder browser"

#include "tests/e2e/jre_dialog_script_win.h"

#include <utility>

#include "resources/resource_ids.h"

namespace e2e {

bool isJreDialog(const support::WindowInfo& window) {
    return window.isDialog() && window.title == kJreDialogTitle;
}

bool isFolderBrowser(const support::WindowInfo& window) {
    if (!window.isDialog() || window.title == kJreDialogTitle) return false;
    for (const auto& control : window.controls) {
        if (control.className == L"SysTreeView32") return true;
    }
    return false;
}

bool browseTo(const support::WindowInfo& dialog, const std::wstring& folder) {
    PostMessageW(dialog.handle, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0);
    HWND browser = support::waitForProcessWindow(dialog.processId, isFolderBrowser);
    if (browser == nullptr) return false;
    if (!support::selectFolderInBrowser(browser, dialog.processId, folder)) return false;
    Sleep(300);
    PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return support::waitUntilClosed(browser);
}

support::WindowHandler pickingFolder(std::wstring folder, int& dialogs) {
    return [folder = std::move(folder), &dialogs](const support::WindowInfo& window) {
        if (!isJreDialog(window)) return support::WindowAction::leave();
        if (++dialogs > 1) return support::WindowAction::click(IDCANCEL);
        if (!browseTo(window, folder)) return support::WindowAction::close();
        Sleep(200);
        return support::WindowAction::click(IDOK);
    };
}

JreDialogState jreDialogStateOf(const support::WindowInfo& dialog, const std::wstring& folder) {
    for (int i = 0; i < 100 && !folder.empty(); ++i) {
        if (support::textOf(GetDlgItem(dialog.handle, IDC_JRE_PATH_EDIT)) == folder) break;
        Sleep(100);
    }
    // The dialog's thread answers once it is back in its message loop, so the pick it was
    // examining has reached OK and the hint line (under Wine the folder box shows the new
    // folder well before that).
    SendMessageTimeoutW(dialog.handle, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr);
    Sleep(300);
    return {IsWindowEnabled(GetDlgItem(dialog.handle, IDOK)) != FALSE,
            support::textOf(GetDlgItem(dialog.handle, IDC_BROWSE_HINT)),
            support::textOf(GetDlgItem(dialog.handle, IDC_JRE_PATH_EDIT))};
}

}  // namespace e2e

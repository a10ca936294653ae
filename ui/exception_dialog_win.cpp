#include <windows.h>

#include "ui/exception_dialog_win.h"

#include <array>

#include "resources/resource_ids.h"
#include "ui/center_window_win.h"
#include "ui/edit_text.h"

namespace ui {
namespace {

constexpr std::array<LayoutEntry, 7> kLayout{{
    {IDC_EXCEPTION_GROUP, kSizeX | kSizeY},
    {IDC_EXCEPTION_HEADING, kSizeX},
    {IDC_EXCEPTION_WARNING, kSizeX | kMoveY},
    {IDC_EXCEPTION_INSTRUCTION, kSizeX | kMoveY},
    {IDC_EXCEPTION_TEXT, kSizeX | kSizeY},
    {IDOK, kMoveX | kMoveY},
    {IDCANCEL, kMoveX | kMoveY},
}};

}  // namespace

INT_PTR ExceptionDialog::run(HWND owner) { return runModalDialog(*this, IDD_EXCEPTION, owner); }

void ExceptionDialog::initialize(HWND window) {
    SetDlgItemTextW(window, IDC_EXCEPTION_TEXT, withWindowsLineEnds(text_).c_str());
    SendDlgItemMessageW(window, IDC_EXCEPTION_TEXT, EM_SETREADONLY, TRUE, 0);
    centerWindow(window);
    resize_.initialize(window, kLayout);
}

bool ExceptionDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG:
            initialize(window);
            // 0: the dialog manager leaves the focus alone.
            result = 0;
            return true;
        case WM_SIZE:
            resize_.onSize(window, wParam, LOWORD(lParam), HIWORD(lParam));
            result = 0;
            return true;
        case WM_GETMINMAXINFO:
            resize_.onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            result = 0;
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(window, LOWORD(wParam));
                result = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool showExceptionDialog(const std::wstring& text) {
    if (text.empty()) return false;
    try {
        ExceptionDialog dialog(text);
        return dialog.run(GetActiveWindow()) != IDOK;
    } catch (...) {
        return true;
    }
}

}  // namespace ui

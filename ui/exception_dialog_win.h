#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "ui/dialog_resize_win.h"
#include "ui/window_object_win.h"

namespace ui {

// The resizable dialog that shows the trace of an uncaught Java exception and asks whether to
// ignore it (result 1) or stop the application (result 2, also Esc and the close box).
class ExceptionDialog final : public DialogObject {
  public:
    explicit ExceptionDialog(std::wstring text) : text_(std::move(text)) {}

    // Runs the dialog modally; the EndDialog value, -1 when it cannot be shown.
    INT_PTR run(HWND owner);

    bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) override;

  private:
    void initialize(HWND window);

    std::wstring text_;
    DialogResize resize_;
};

// Shows the exception trace and returns true when the application should stop: for "Stop",
// Esc, the close box, and when the dialog cannot be shown. An empty text shows nothing and
// returns false. Owned by the calling thread's active window.
bool showExceptionDialog(const std::wstring& text);

}  // namespace ui

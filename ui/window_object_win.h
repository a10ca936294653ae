#pragma once

#include <windows.h>

namespace ui {

// Which procedure a window object's binding routes messages through.
enum class ProcedureKind { window, dialog };

// Base of every object that handles the messages of one window: a window of an own class
// (createWindowFor), an existing control taken over by subclassing (subclassWindow) or a
// modal dialog (runModalDialog). The object is bound at the window's first message and
// unbound after WM_NCDESTROY once no outer message of that window is still being handled.
// All its messages arrive on the thread that created the window. The window refers to the
// object, so it is neither copyable nor movable and must outlive its window (destroying it
// earlier detaches it: the window falls back to its previous procedure).
class WindowObject {
  public:
    WindowObject() = default;
    virtual ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    // The bound window; null while unbound.
    [[nodiscard]] HWND handle() const noexcept { return window_; }

    // Returns true when the message was handled; `result` is then the message's result.
    // Unhandled messages go to the previous window procedure (windows) or the dialog manager.
    virtual bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) = 0;

    // The procedure the binding calls: windows and subclassed controls use the window
    // procedure, dialogs the dialog procedure.
    [[nodiscard]] virtual ProcedureKind procedureKind() const noexcept {
        return ProcedureKind::window;
    }

    // Called with the former handle once the object has been unbound from its destroyed
    // window. The object may delete itself here; nothing touches it afterwards.
    virtual void onFinalMessage(HWND formerWindow) noexcept;

  protected:
    // The message being handled right now (innermost), null outside message handling.
    [[nodiscard]] const MSG* currentMessage() const noexcept { return currentMessage_; }

    // Default processing of a window message: the procedure the window had before binding
    // (DefWindowProcW for own window classes). Not for dialogs.
    LRESULT callPreviousProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    friend struct WindowBinding;

    HWND window_ = nullptr;
    WNDPROC previousProcedure_ = nullptr;
    const MSG* currentMessage_ = nullptr;
    unsigned state_ = 0;
};

// A window object whose binding is a dialog procedure.
class DialogObject : public WindowObject {
  public:
    [[nodiscard]] ProcedureKind procedureKind() const noexcept override {
        return ProcedureKind::dialog;
    }
};

// CreateWindowExW for an unbound window object of kind window; the object is bound from the
// window's first message on. Returns the window, or null (the object stays unbound).
HWND createWindowFor(WindowObject& object, DWORD exStyle, ATOM windowClass, const wchar_t* title,
                     DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu);

// Runs the executable's dialog template `templateId` modally, bound to `dialog`. Returns the
// value given to EndDialog, or -1 when the dialog cannot be created or bound.
INT_PTR runModalDialog(DialogObject& dialog, UINT templateId, HWND owner);

// Routes an existing window's messages through `object` (kind window) before its own
// procedure. False, with the object left unbound, when the procedure cannot be replaced.
bool subclassWindow(WindowObject& object, HWND window);

}  // namespace ui

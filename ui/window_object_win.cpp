#include <windows.h>

#include "ui/window_object_win.h"

#include <utility>

#include "ui/window_binding_win.h"

namespace ui {
namespace {

// The bound object is found through a window property: it works alike for own windows,
// subclassed controls and dialogs, and needs no executable memory.
constexpr wchar_t kObjectProperty[] = L"JavaLauncher.WindowObject";

// Set while WM_NCDESTROY is being handled; the object is unbound when the outermost message
// of its window returns.
constexpr unsigned kWindowDestroyed = 1;

CRITICAL_SECTION& frameworkSection() noexcept {
    // Allocated once and never freed: windows on other threads may still be created while
    // the process ends.
    static CRITICAL_SECTION* section = [] {
        auto* created = new CRITICAL_SECTION;
        InitializeCriticalSection(created);
        return created;
    }();
    return *section;
}

// An object waiting for its window's first message on the creating thread.
struct CreationEntry {
    WindowObject* object = nullptr;
    DWORD threadId = 0;
    CreationEntry* next = nullptr;
};

CreationEntry* creationList = nullptr;

// Lists an object for the window about to be created on this thread. The entry lives on the
// creator's stack; it is normally taken by the first message, and otherwise (creation failed
// before any message) removed here, so a stale entry can never bind a later window.
class CreationRegistration {
  public:
    explicit CreationRegistration(WindowObject& object) noexcept {
        entry_.object = &object;
        entry_.threadId = GetCurrentThreadId();
        detail::FrameworkLock lock;
        entry_.next = creationList;
        creationList = &entry_;
    }
    ~CreationRegistration() {
        detail::FrameworkLock lock;
        for (CreationEntry** link = &creationList; *link != nullptr; link = &(*link)->next) {
            if (*link == &entry_) {
                *link = entry_.next;
                break;
            }
        }
    }
    CreationRegistration(const CreationRegistration&) = delete;
    CreationRegistration& operator=(const CreationRegistration&) = delete;

  private:
    CreationEntry entry_;
};

WindowObject* takeCreationEntry() noexcept {
    const DWORD thread = GetCurrentThreadId();
    detail::FrameworkLock lock;
    for (CreationEntry** link = &creationList; *link != nullptr; link = &(*link)->next) {
        if ((*link)->threadId == thread) {
            CreationEntry* found = *link;
            *link = found->next;
            return found->object;
        }
    }
    return nullptr;
}

// Messages whose dialog-procedure result is returned as it is instead of through
// DWLP_MSGRESULT.
bool returnsResultDirectly(UINT message) noexcept {
    switch (message) {
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_COMPAREITEM:
        case WM_INITDIALOG:
            return true;
        default:
            return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    }
}

WindowObject* boundObject(HWND window) noexcept {
    return static_cast<WindowObject*>(GetPropW(window, kObjectProperty));
}

}  // namespace

namespace detail {

FrameworkLock::FrameworkLock() noexcept { EnterCriticalSection(&frameworkSection()); }
FrameworkLock::~FrameworkLock() { LeaveCriticalSection(&frameworkSection()); }

}  // namespace detail

// Routing between the Windows procedures and the objects.
struct WindowBinding {
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept {
        WindowObject* object = boundObject(window);
        if (object == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        return routeWindowMessage(*object, window, message, wParam, lParam);
    }

    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept {
        WindowObject* object = boundObject(window);
        if (object == nullptr) return FALSE;
        return routeDialogMessage(*object, window, message, wParam, lParam);
    }

    static LRESULT CALLBACK startWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) noexcept {
        WindowObject* object = takeCreationEntry();
        // Without an object (or without room to bind it) the creation fails: WM_NCCREATE
        // answered with 0 ends CreateWindowExW.
        if (object == nullptr || !bind(*object, window)) return 0;
        object->previousProcedure_ = &DefWindowProcW;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure));
        return windowProcedure(window, message, wParam, lParam);
    }

    static INT_PTR CALLBACK startDialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) noexcept {
        WindowObject* object = takeCreationEntry();
        if (object == nullptr) return FALSE;
        if (!bind(*object, window)) {
            // An unbound dialog would ignore its buttons and Esc: end it at once as failed.
            EndDialog(window, -1);
            return FALSE;
        }
        SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&dialogProcedure));
        return dialogProcedure(window, message, wParam, lParam);
    }

    static bool bind(WindowObject& object, HWND window) noexcept {
        if (!SetPropW(window, kObjectProperty, &object)) return false;
        object.window_ = window;
        object.state_ = 0;
        return true;
    }

    static bool subclass(WindowObject& object, HWND window) noexcept {
        if (object.window_ != nullptr || object.procedureKind() != ProcedureKind::window ||
            window == nullptr || boundObject(window) != nullptr) {
            return false;
        }
        if (!bind(object, window)) return false;
        const LONG_PTR previous =
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure));
        if (previous == 0) {
            RemovePropW(window, kObjectProperty);
            object.window_ = nullptr;
            return false;
        }
        object.previousProcedure_ = reinterpret_cast<WNDPROC>(previous);
        return true;
    }

    // Asks the object; a handler that throws counts as not having handled the message, since
    // nothing may unwind into the system's frames.
    static bool dispatch(WindowObject& object, const MSG& message, LRESULT& result) noexcept {
        const MSG* outer = std::exchange(object.currentMessage_, &message);
        bool handled = false;
        try {
            handled = object.handleMessage(message.hwnd, message.message, message.wParam,
                                           message.lParam, result);
        } catch (...) {
            handled = false;
            result = 0;
        }
        object.currentMessage_ = outer;
        return handled;
    }

    static LRESULT routeWindowMessage(WindowObject& object, HWND window, UINT message,
                                      WPARAM wParam, LPARAM lParam) noexcept {
        const MSG current{window, message, wParam, lParam, 0, {}};
        const MSG* outer = object.currentMessage_;
        LRESULT result = 0;
        const bool handled = dispatch(object, current, result);
        if (!handled) {
            result = CallWindowProcW(object.previousProcedure_, window, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            // Give a subclassed control its own procedure back for whatever comes after.
            const auto installed = GetWindowLongPtrW(window, GWLP_WNDPROC);
            if (installed == reinterpret_cast<LONG_PTR>(&windowProcedure) &&
                object.previousProcedure_ != &DefWindowProcW) {
                SetWindowLongPtrW(window, GWLP_WNDPROC,
                                  reinterpret_cast<LONG_PTR>(object.previousProcedure_));
            }
            object.state_ |= kWindowDestroyed;
        }
        if (outer == nullptr) unbindIfDestroyed(object);
        return result;
    }

    static INT_PTR routeDialogMessage(WindowObject& object, HWND window, UINT message,
                                      WPARAM wParam, LPARAM lParam) noexcept {
        const MSG current{window, message, wParam, lParam, 0, {}};
        const MSG* outer = object.currentMessage_;
        LRESULT result = 0;
        INT_PTR answer = FALSE;
        if (dispatch(object, current, result)) {
            if (returnsResultDirectly(message)) {
                answer = static_cast<INT_PTR>(result);
            } else {
                if ((object.state_ & kWindowDestroyed) == 0) {
                    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
                }
                answer = TRUE;
            }
        }
        if (message == WM_NCDESTROY) object.state_ |= kWindowDestroyed;
        if (outer == nullptr) unbindIfDestroyed(object);
        return answer;
    }

    static void unbindIfDestroyed(WindowObject& object) noexcept {
        if ((object.state_ & kWindowDestroyed) == 0) return;
        object.state_ &= ~kWindowDestroyed;
        HWND former = std::exchange(object.window_, nullptr);
        RemovePropW(former, kObjectProperty);
        object.previousProcedure_ = nullptr;
        object.onFinalMessage(former);
    }

    // An object that goes away before its window leaves the window to its former procedure.
    static void detach(WindowObject& object) noexcept {
        HWND window = std::exchange(object.window_, nullptr);
        if (window == nullptr || !IsWindow(window)) return;
        if (boundObject(window) == &object) RemovePropW(window, kObjectProperty);
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) ==
                reinterpret_cast<LONG_PTR>(&windowProcedure) &&
            object.previousProcedure_ != nullptr) {
            SetWindowLongPtrW(window, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(object.previousProcedure_));
        }
    }
};

WindowObject::~WindowObject() { WindowBinding::detach(*this); }

void WindowObject::onFinalMessage(HWND /*formerWindow*/) noexcept {}

LRESULT WindowObject::callPreviousProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (previousProcedure_ == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(previousProcedure_, window, message, wParam, lParam);
}

namespace detail {

LRESULT CALLBACK startWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    return WindowBinding::startWindowProcedure(window, message, wParam, lParam);
}

}  // namespace detail

HWND createWindowFor(WindowObject& object, DWORD exStyle, ATOM windowClass, const wchar_t* title,
                     DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu) {
    if (object.handle() != nullptr || object.procedureKind() != ProcedureKind::window ||
        windowClass == 0) {
        return nullptr;
    }
    CreationRegistration registration(object);
    return CreateWindowExW(exStyle, MAKEINTATOM(windowClass), title, style, x, y, width, height,
                           parent, menu, GetModuleHandleW(nullptr), nullptr);
}

INT_PTR runModalDialog(DialogObject& dialog, UINT templateId, HWND owner) {
    if (dialog.handle() != nullptr) return -1;
    CreationRegistration registration(dialog);
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                           &WindowBinding::startDialogProcedure, 0);
}

bool subclassWindow(WindowObject& object, HWND window) {
    return WindowBinding::subclass(object, window);
}

}  // namespace ui

#include <windows.h>

#include "ui/window_class_win.h"

#include <vector>

#include "ui/window_binding_win.h"

namespace ui {
namespace {

// The classes this process registered, unregistered again when the module ends.
class RegisteredClasses {
  public:
    RegisteredClasses() = default;
    RegisteredClasses(const RegisteredClasses&) = delete;
    RegisteredClasses& operator=(const RegisteredClasses&) = delete;
    ~RegisteredClasses() {
        for (ATOM atom : atoms_) UnregisterClassW(MAKEINTATOM(atom), GetModuleHandleW(nullptr));
    }
    void remember(ATOM atom) { atoms_.push_back(atom); }

  private:
    std::vector<ATOM> atoms_;
};

RegisteredClasses& registeredClasses() {
    static RegisteredClasses classes;
    return classes;
}

}  // namespace

ATOM registerWindowClass(WindowClass& windowClass) {
    RegisteredClasses& registered = registeredClasses();
    detail::FrameworkLock lock;
    if (windowClass.atom != 0) return windowClass.atom;

    WNDCLASSEXW& description = windowClass.description;
    description.cbSize = sizeof(description);
    description.hInstance = GetModuleHandleW(nullptr);
    description.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    description.lpfnWndProc = &detail::startWindowProcedure;
    if (windowClass.systemCursor != nullptr) {
        description.hCursor = LoadCursorW(nullptr, windowClass.systemCursor);
    }

    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    // GetClassInfoExW answers with the class atom.
    auto atom = static_cast<ATOM>(
        GetClassInfoExW(description.hInstance, description.lpszClassName, &existing));
    if (atom == 0) {
        atom = RegisterClassExW(&description);
        if (atom == 0) return 0;
        try {
            registered.remember(atom);
        } catch (...) {
            // Not unregistering at the end costs nothing the system does not clean up.
        }
    }
    windowClass.atom = atom;
    return atom;
}

}  // namespace ui

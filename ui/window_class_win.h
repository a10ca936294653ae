#pragma once

#include <windows.h>

namespace ui {

// Describes an own window class of the executable. Registration fills in the window procedure
// (the framework's, which binds window objects) and the module, and caches the atom here.
struct WindowClass {
    WNDCLASSEXW description{};
    // A system cursor such as IDC_ARROW, loaded at registration; null keeps description.hCursor.
    const wchar_t* systemCursor = nullptr;
    ATOM atom = 0;
};

// Registers the class once per process (a class of that name already registered for the
// module is taken as it is) and returns its atom, 0 on failure. Classes registered here are
// unregistered when the process ends. Safe to call from several threads.
ATOM registerWindowClass(WindowClass& windowClass);

}  // namespace ui

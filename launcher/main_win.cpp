#include <windows.h>

#include <cstdlib>

#include "base/dll_search_win.h"
#include "launcher/launcher_app.h"

// The entry point: one LauncherApp for the life of the process; its run result is the exit code.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // First of all: nothing loaded by name from here on may come from the current directory.
    base::removeCurrentDirectoryFromDllSearch();
    int exitCode = -1;
    try {
        launcher::LauncherApp app;
        SetThreadLocale(GetSystemDefaultLCID());
        exitCode = app.startUp() ? app.run() : -1;
        app.setExitCode(exitCode);
    } catch (...) {
        // Exhausted memory or a broken string operation ends the launch like any failure.
        exitCode = -1;
    }
    return exitCode;
}

// The default terminate handler demangles type names for a message nobody sees in a GUI
// program; replacing it keeps the demangler out of the executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

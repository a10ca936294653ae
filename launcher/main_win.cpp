#include <windows.h>

#include "launcher/launcher_app.h"

// The entry point: one LauncherApp for the life of the process; its run result is the exit code.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int exitCode = -1;
    try {
        launcher::LauncherApp app;
        SetThreadLocale(GetSystemDefaultLCID());
        exitCode = app.startUp() ? app.run() : -1;
    } catch (...) {
        // Exhausted memory or a broken string operation ends the launch like any failure.
        exitCode = -1;
    }
    return exitCode;
}

#include <windows.h>

#include "launcher/launcher_app.h"
#include "splash/splash_screen_win.h"

namespace launcher {

bool LauncherApp::setUpSplash() {
    splashWindow = splash::showSplash(settings_.display, runtime_.jvmLibraryPath, jreSplashClose,
                                      splashWindowHandle);
    return true;
}

void LauncherApp::closeSplash() {
    splashWindow.reset();
    splashWindowHandle = nullptr;
}

}  // namespace launcher

#include <windows.h>

#include "launcher/launcher_app.h"
#include "settings/profile_store_win.h"
#include "settings/settings_files.h"
#include "splash/splash_screen_win.h"

namespace launcher {

bool LauncherApp::setUpSplash() {
    std::wstring executable;
    if (!modulePath(executable)) return false;
    const auto mainFile = settings::mainSettingsPath(executable);
    if (!mainFile) return false;
    const auto display = splash::readSplashSettings(settings::ProfileStore(*mainFile));
    splashImagePath = display.imagePath;
    splashShadow = display.shadow;
    splashWindow = splash::showSplash(display, jvmLibraryPath, jreSplashClose, splashWindowHandle);
    return true;
}

void LauncherApp::closeSplash() {
    splashWindow.reset();
    splashWindowHandle = nullptr;
}

}  // namespace launcher

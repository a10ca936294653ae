#include <windows.h>

#include "launcher/launcher_app.h"

#include "base/files_win.h"
#include "base/system_error_win.h"
#include "base/text.h"
#include "launcher/launch_settings.h"
#include "resources/resource_ids.h"
#include "ui/error_box_win.h"

namespace launcher {

namespace {
// Written once by the constructor, before any other thread exists; read by the JVM hooks.
LauncherApp* currentApp = nullptr;
}  // namespace

LauncherApp::LauncherApp() { currentApp = this; }

LauncherApp::~LauncherApp() {
    closeSplash();
    if (jvm_.javaVm != nullptr) {
        // Waits until the Java program's last non-daemon thread has ended.
        jvm_.javaVm->DestroyJavaVM();
        jvm_.javaVm = nullptr;
    }
    singleInstance.tearDown();
    jvm_.mainStartedEvent.reset();
    jreSplashClose.reset();
}

LauncherApp* LauncherApp::current() noexcept { return currentApp; }

bool LauncherApp::modulePath(std::wstring& out) {
    if (executablePath_.empty()) {
        auto path = base::executablePath();
        if (!path) {
            const auto error = static_cast<int>(GetLastError());
            ui::showErrorBox(splashWindowHandle, IDS_WINDOWS_EXCEPTION,
                             ui::messageText(IDS_NO_MODULE_PATH), error);
            return false;
        }
        executablePath_ = std::move(*path);
    }
    out = executablePath_;
    return true;
}

bool LauncherApp::moduleFolder(std::wstring& out) {
    std::wstring path;
    if (!modulePath(path)) return false;
    const auto folder = base::upToLastBackslash(path);
    if (!folder.empty()) out = folder;
    return true;
}

bool LauncherApp::applyWorkingDirectory() {
    std::wstring path;
    if (!modulePath(path)) return false;
    const auto last = path.rfind(L'\\');
    if (last == std::wstring::npos || last < 1) return true;
    path.resize(last);
    // The settings ask for relative names (a "Pair Product" such as MyApp64.exe, output files,
    // the splash image) to mean the application's folder; going on from another folder would
    // start the wrong program or write elsewhere, so a refusal ends the launch with a reason.
    if (!SetCurrentDirectoryW(path.c_str())) {
        const DWORD error = GetLastError();
        ui::showErrorBox(splashWindowHandle, IDS_WORKING_DIR_FAILED, std::wstring_view(path),
                         std::wstring_view(base::systemErrorText(error)));
        return false;
    }
    return true;
}

bool LauncherApp::startUp() {
    arguments_ = launchArguments(GetCommandLineW());
    if (!loadSettings()) return false;
    return settleInstanceAndRuntime();
}

bool LauncherApp::settleInstanceAndRuntime() {
    if (!setUpSingleInstance()) return false;
    // A second instance hands its arguments over and waits; it never looks for a runtime.
    if (singleInstanceActive && !firstInstance) return true;
    if (settings_.application.overrideWorkingDir && !applyWorkingDirectory()) return false;
    return findJre() || askUserForJre();
}

}  // namespace launcher

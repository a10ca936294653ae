#include <windows.h>

#include "launcher/launcher_app.h"

#include <new>

#include "base/files_win.h"
#include "base/path.h"
#include "base/system_error_win.h"
#include "launcher/console_win.h"
#include "launcher/launch_settings.h"
#include "resources/resource_ids.h"
#include "ui/error_box_win.h"

namespace launcher {

namespace {
// Written once by the constructor, before any other thread exists; read by the JVM hooks.
LauncherApp* currentApp = nullptr;
}  // namespace

LauncherApp::LauncherApp() : route_(defaultMessageRoute(builtSubsystem())) {
    currentApp = this;
    ui::setMessageObserver(&LauncherApp::noteMessage);
}

LauncherApp::~LauncherApp() {
    closeSplash();
    if (jvm_.javaVm != nullptr) {
        // Waits until the Java program's last non-daemon thread has ended.
        jvm_.javaVm->DestroyJavaVM();
        jvm_.javaVm = nullptr;
    }
    // Only now is the exit code final: the program's threads have ended.
    writeLaunchLog(exitCode_);
    ui::setMessageObserver(nullptr);
    singleInstance.tearDown();
    jvm_.mainStartedEvent.reset();
    jreSplashClose.reset();
}

LauncherApp* LauncherApp::current() noexcept { return currentApp; }

void LauncherApp::reportError(ui::MessageSource format,
                              std::initializer_list<ui::MessageArg> args) {
    try {
        const std::wstring text = ui::formatMessage(ui::messageText(format), args);
        if (route_.boxes) {
            ui::showErrorBox(splashWindowHandle, std::wstring_view(text));
        } else {
            // A console program must not wait for a click nobody may be there to give.
            ui::noteShownMessage(text);
            writeStandardError(consoleLine(text));
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the exit code still tells the failure.
    }
}

bool LauncherApp::applyWorkingDirectory() {
    const std::wstring folder = base::folderOf(executablePath_);
    // A path without a folder (no backslash, or only a leading one) leaves the current one.
    if (folder.empty() || folder.size() == executablePath_.size()) return true;
    // The settings ask for relative names (a "Pair Product" such as MyApp64.exe, output files,
    // the splash image) to mean the application's folder; going on from another folder would
    // start the wrong program or write elsewhere, so a refusal ends the launch with a reason.
    if (!SetCurrentDirectoryW(folder.c_str())) {
        const DWORD error = GetLastError();
        reportError(IDS_WORKING_DIR_FAILED,
                    {std::wstring_view(folder), std::wstring_view(base::systemErrorText(error))});
        return false;
    }
    return true;
}

bool LauncherApp::startUp() {
    // Everything after this names files beside the executable, so without its path there is no
    // launch.
    auto path = base::executablePath();
    if (!path) {
        const auto error = static_cast<int>(GetLastError());
        reportError(IDS_WINDOWS_EXCEPTION, {ui::messageText(IDS_NO_MODULE_PATH), error});
        return false;
    }
    executablePath_ = std::move(*path);
    logPath_ = launchLogPath();
    arguments_ = launchArguments(GetCommandLineW());
    if (!loadSettings()) return false;
    return settleInstanceAndRuntime();
}

bool LauncherApp::settleInstanceAndRuntime() {
    if (!setUpSingleInstance()) return false;
    // A second instance hands its arguments over and waits; it never looks for a runtime.
    if (singleInstance.role() == SingleInstance::Role::Second) return true;
    if (settings_.application.overrideWorkingDir && !applyWorkingDirectory()) return false;
    return findJre() || askUserForJre();
}

}  // namespace launcher

#include <windows.h>

#include "base/system_error_win.h"
#include "launcher/launch_settings.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "ui/error_box_win.h"

namespace launcher {

int32_t LauncherApp::run() {
    if (runtime_.relaunchViaPair) return relaunchThroughPair();
    if (singleInstanceActive && !firstInstance) return singleInstance.waitForAnswer();
    return launch();
}

int32_t LauncherApp::relaunchThroughPair() const {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // The paired launcher gets the command line exactly as this process received it.
    std::wstring commandLine = GetCommandLineW();
    const std::wstring& pairProduct = settings_.runtimeSearch.pairProduct;
    if (!CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        // Without this box a missing or broken pair file would end the launch silently.
        const DWORD error = GetLastError();
        ui::showErrorBox(splashWindowHandle, IDS_PAIR_START_FAILED, std::wstring_view(pairProduct),
                         std::wstring_view(base::systemErrorText(error)));
        return -1;
    }
    base::UniqueKernelHandle child(process.hProcess);
    base::UniqueKernelHandle childThread(process.hThread);
    if (!settings_.application.pairReturnCode) return 0;

    WaitForSingleObject(child.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.get(), &exitCode);
    return static_cast<int32_t>(exitCode);
}

int32_t LauncherApp::launch() {
    prepareNativePaths();
    // The switches stay in the arguments and reach the program like any other.
    if (!splashSuppressed(arguments_) && !setUpSplash()) return 0;

    if (!loadJvmLibrary(runtime_.jvmLibraryPath)) return -1;
    if (!buildJvmOptions()) return -1;
    if (jvm_.javaThreadStackSize == 0) jvm_.javaThreadStackSize = defaultJavaStackSize();

    DWORD result = 1;
    base::UniqueKernelHandle thread(CreateThread(
        nullptr, jvm_.javaThreadStackSize, &LauncherApp::runJavaMainThread, this, 0, nullptr));
    if (thread) {
        WaitForSingleObject(thread.get(), INFINITE);
        GetExitCodeThread(thread.get(), &result);
    } else {
        // Without a thread of its own the program runs on this one, with this thread's stack.
        result = runJavaProgram();
    }
    if (result == 0) return 0;
    jreSplashClose.reset();
    return -1;
}

}  // namespace launcher

#include <windows.h>

#include "launcher/launch_settings.h"
#include "launcher/launcher_app.h"

namespace launcher {

int32_t LauncherApp::run() {
    if (relaunchViaPair) return relaunchThroughPair();
    if (singleInstanceActive && !firstInstance) return singleInstance.waitForAnswer();
    return launch();
}

int32_t LauncherApp::relaunchThroughPair() const {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // The paired launcher gets the command line exactly as this process received it.
    std::wstring commandLine = GetCommandLineW();
    if (!CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    base::UniqueKernelHandle child(process.hProcess);
    base::UniqueKernelHandle childThread(process.hThread);
    if (!pairReturnCode) return 0;

    WaitForSingleObject(child.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.get(), &exitCode);
    return static_cast<int32_t>(exitCode);
}

int32_t LauncherApp::launch() {
    prepareNativePaths();
    // The splash window comes with a later change; the switches are already honoured here and
    // passed on to the program like any other argument.
    const bool splashWanted = !splashSuppressed(arguments);
    (void)splashWanted;

    if (!loadJvmLibrary(jvmLibraryPath)) return -1;
    if (!buildJvmOptions()) return -1;
    if (javaThreadStackSize == 0) javaThreadStackSize = defaultJavaStackSize();

    DWORD result = 1;
    base::UniqueKernelHandle thread(CreateThread(
        nullptr, javaThreadStackSize, &LauncherApp::runJavaMainThread, this, 0, nullptr));
    if (thread) {
        WaitForSingleObject(thread.get(), INFINITE);
        GetExitCodeThread(thread.get(), &result);
    } else {
        // Without a thread of its own the program runs on this one, with this thread's stack.
        result = 1;
        if (createJavaVm() && runMainClass()) {
            if (serviceMode && javaVm != nullptr) {
                javaVm->DestroyJavaVM();
                javaVm = nullptr;
            }
            result = 0;
        }
    }
    if (result == 0) return 0;
    jreSplashClose.reset();
    return -1;
}

}  // namespace launcher

#include <windows.h>

#include "base/system_error_win.h"
#include "launcher/console_win.h"
#include "launcher/launch_settings.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "ui/error_box_win.h"

namespace launcher {

namespace {
// A second start is told to start afresh only when a first instance hands its launch over to its
// pair before serving it, which cannot go on for ever; the bound guards against a loop all the
// same.
constexpr int kMostStartsAfresh = 8;
}  // namespace

int32_t LauncherApp::run() {
    // A second instance never searched for a runtime, so it cannot be one that hands over.
    for (int round = 0; singleInstance.role() == SingleInstance::Role::Second; ++round) {
        if (const auto answer = singleInstance.waitForAnswer()) return *answer;
        // The first instance stopped serving without running a program: start as if it had
        // never been there.
        leaveSingleInstance(false);
        if (round == kMostStartsAfresh || !settleInstanceAndRuntime()) return -1;
    }
    if (runtime_.relaunchViaPair) return relaunchThroughPair();
    return launch();
}

void LauncherApp::leaveSingleInstance(bool startAfresh) {
    singleInstance.tearDown(startAfresh);
    jvm_.mainStartedEvent.reset();
}

int32_t LauncherApp::relaunchThroughPair() {
    // This process runs no Java program, so it must not hold on to second starts: the pair
    // coordinates single-instance mode under its own name, and second starts that already
    // handed their arguments to this process go on as first starts.
    leaveSingleInstance(true);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // The paired launcher gets the command line exactly as this process received it.
    std::wstring commandLine = GetCommandLineW();
    // The console pair writes where this process writes, a file or a pipe included.
    const bool console = builtSubsystem() == Subsystem::Console;
    const StandardHandleCopies handles =
        console ? inheritableStandardHandles() : StandardHandleCopies{};
    if (console) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = handles.input.get();
        startup.hStdOutput = handles.output.get();
        startup.hStdError = handles.error.get();
    }
    const std::wstring& pairProduct = settings_.runtimeSearch.pairProduct;
    if (!CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr,
                        console ? TRUE : FALSE, 0, nullptr, nullptr, &startup, &process)) {
        // Without this box a missing or broken pair file would end the launch silently.
        const DWORD error = GetLastError();
        reportError(IDS_PAIR_START_FAILED, {std::wstring_view(pairProduct),
                                            std::wstring_view(base::systemErrorText(error))});
        return -1;
    }
    base::UniqueKernelHandle child(process.hProcess);
    base::UniqueKernelHandle childThread(process.hThread);
    if (!settings_.application.pairReturnCode) return 0;

    DWORD exitCode = 0;
    // Without a readable exit code the pair's result is unknown: a failure, not a success.
    if (WaitForSingleObject(child.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(child.get(), &exitCode)) {
        return -1;
    }
    return static_cast<int32_t>(exitCode);
}

int32_t LauncherApp::launch() {
    // Before the JVM exists: it takes its standard handles once, as it starts.
    if (route_.attachParentConsole) attachParentConsole();
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

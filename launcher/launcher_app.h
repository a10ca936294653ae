#pragma once

#include <windows.h>

#include <jni.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "jre/jre_search.h"
#include "jvm/java_bridge.h"
#include "jvm/redirection.h"
#include "launcher/console.h"
#include "launcher/launch_log.h"
#include "launcher/launch_settings.h"
#include "launcher/single_instance_win.h"
#include "splash/one_shot_call.h"
#include "splash/own_splash_win.h"
#include "ui/error_box_win.h"

namespace launcher {

// The one application object: every piece of launch state lives here, for the life of the
// process. The decisions live in the subsystem folders and take plain values; this class
// orchestrates, owns the state and is the only place that shows error boxes.
// The file VX_LAUNCHER_LOG names; empty when it is not set ("Launch Log" is read with the
// settings).
[[nodiscard]] std::wstring launchLogPath();

class LauncherApp {
  public:
    LauncherApp();
    ~LauncherApp();
    LauncherApp(const LauncherApp&) = delete;
    LauncherApp& operator=(const LauncherApp&) = delete;

    // The object published by the constructor, for the JVM hooks.
    static LauncherApp* current() noexcept;

    [[nodiscard]] bool startUp();
    [[nodiscard]] int32_t run();

    // "Override WorkingDir": the executable's folder becomes the current one. False (after an
    // error box) when the folder cannot be made current.
    [[nodiscard]] bool applyWorkingDirectory();

    // For the JVM's exit hook: System.exit ends the process inside the JVM, so that is the
    // runtime splash library's last chance to be closed.
    void closeRuntimeSplash() noexcept { jreSplashClose.reset(); }

    // The exit code the process will end with, for the launch log written at the end.
    void setExitCode(int32_t code) noexcept { exitCode_ = code; }
    // Appends this launch's record to the launch log, once, when VX_LAUNCHER_LOG or the settings
    // name one. Never fails the launch: a log that cannot be written is passed over.
    void writeLaunchLog(std::optional<int32_t> exitCode) noexcept;

  private:
    // The JVM library's entry points, the option list, and the machine once it exists.
    struct JvmState {
        jvm::CreateJavaVmFn createJavaVmEntry = nullptr;
        jvm::GetDefaultInitArgsFn defaultInitArgsEntry = nullptr;
        jvm::FindClassFromBootLoaderFn findClassFromBootLoaderEntry = nullptr;
        std::vector<std::string> jvmOptions;  // in the thread's ANSI code page
        uint32_t javaThreadStackSize = 0;     // 0: the JVM's default is asked for
        // Standard output and error with environment references expanded.
        jvm::StreamTarget outputTarget;
        jvm::StreamTarget errorTarget;
        JavaVM* javaVm = nullptr;
        JNIEnv* mainThreadEnv = nullptr;  // the Java main thread's
        // Set just before the Java main method runs.
        base::UniqueKernelHandle mainStartedEvent;
    };

    // Every failure is told here: in an error box (owned by the own splash window, if any), or
    // as one line on standard error when the route says so. "%s" and "%d" are filled first.
    void reportError(ui::MessageSource format, std::initializer_list<ui::MessageArg> args = {});

    // Start-up.
    [[nodiscard]] bool loadSettings();
    [[nodiscard]] bool setUpSingleInstance();
    // Single-instance mode, then (unless this is a second instance) the runtime.
    [[nodiscard]] bool settleInstanceAndRuntime();
    // Gives up single-instance mode: this process will run no Java program.
    void leaveSingleInstance(bool startAfresh);
    [[nodiscard]] bool findJre();
    // No runtime found: the user may pick one in the JRE-not-found dialog; it is remembered.
    [[nodiscard]] bool askUserForJre();
    void checkLibraryBitness();

    // Run.
    [[nodiscard]] int32_t relaunchThroughPair();
    [[nodiscard]] int32_t launch();
    void prepareNativePaths();
    [[nodiscard]] bool loadJvmLibrary(const std::wstring& libraryPath);
    [[nodiscard]] bool buildJvmOptions();
    [[nodiscard]] uint32_t defaultJavaStackSize() const;
    [[nodiscard]] bool createJavaVm();
    [[nodiscard]] bool runMainClass();
    void redirectStandardStreams();
    void reportUncaughtException(jthrowable exception);
    [[nodiscard]] bool setUpSplash();
    void closeSplash();
    // The Java main thread's work: 0 when main was called, 1 when the JVM or the main class
    // failed (the user has been told).
    [[nodiscard]] DWORD runJavaProgram();
    static DWORD WINAPI runJavaMainThread(void* app) noexcept;

    // Boxes or standard error: the subsystem's default until the settings are read.
    MessageRoute route_;
    // The executable's full path, read once by startUp before anything else needs it.
    std::wstring executablePath_;
    LaunchSettings settings_;
    // The Java program's arguments: the command line's after the program's own path, then the
    // "Cmd" setting's.
    std::vector<std::wstring> arguments_;
    // The chosen runtime: jvmLibraryPath, chosenVersion, relaunchViaPair.
    jre::JreSearchResult runtime_;
    JvmState jvm_;

    // The own splash window (its thread included), and its handle: the owner of every error
    // box while it exists, written by the splash thread.
    std::unique_ptr<splash::OwnSplashScreen> splashWindow;
    std::atomic<HWND> splashWindowHandle = nullptr;
    // The runtime splash library's close entry, called at most once however the launch ends.
    splash::OneShotCall jreSplashClose;

    // Single-instance mode: the shared block, its mapping and the request thread; its role
    // says whether the mode is on and whether this process is the first instance.
    SingleInstance singleInstance;

    // The launch log: its file (empty: none), what only the start-up knows, and the texts shown.
    std::wstring logPath_;
    std::vector<SettingsFileNote> settingsFiles_;
    jre::SearchTrace searchTrace_;
    std::optional<int32_t> exitCode_;
    std::atomic<bool> logWritten_ = false;
    SRWLOCK messagesLock_ = SRWLOCK_INIT;
    std::vector<std::wstring> shownMessages_;
    static void noteMessage(std::wstring_view text) noexcept;
};

}  // namespace launcher

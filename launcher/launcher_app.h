#pragma once

#include <windows.h>

#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "jre/java_version.h"
#include "jvm/java_bridge.h"

namespace launcher {

// Receives the JVM's exit and abort notifications. Nothing in the launcher installs one; the
// hooks pass them on when a listener is set.
class JvmExitListener {
  public:
    virtual void onJvmExit(jint status) = 0;
    virtual void onJvmAbort() = 0;

  protected:
    ~JvmExitListener() = default;
};

// Holds a function pointer that is called once when reset or destroyed: the JRE splash
// library's close entry.
class OneShotCall {
  public:
    using Function = void (*)();
    OneShotCall() = default;
    OneShotCall(const OneShotCall&) = delete;
    OneShotCall& operator=(const OneShotCall&) = delete;
    ~OneShotCall() { reset(); }
    void set(Function function) noexcept { function_ = function; }
    void reset() noexcept {
        if (auto function = function_) {
            function_ = nullptr;
            function();
        }
    }

  private:
    Function function_ = nullptr;
};

// The one application object: every piece of launch state lives here, for the life of the
// process. The decisions themselves live in the subsystem folders; this class orchestrates.
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

    [[nodiscard]] bool modulePath(std::wstring& out) const;
    [[nodiscard]] bool moduleFolder(std::wstring& out) const;
    void applyWorkingDirectory() const;

    // Start-up and run steps, public so the Java main thread body can reach them.
    [[nodiscard]] bool loadSettings();
    [[nodiscard]] bool setUpSingleInstance();
    [[nodiscard]] bool findJre();
    // No runtime found: the user may pick one in the JRE-not-found dialog; it is remembered.
    [[nodiscard]] bool askUserForJre();
    void checkLibraryBitness();
    void prepareNativePaths();
    [[nodiscard]] bool loadJvmLibrary(const std::wstring& libraryPath);
    [[nodiscard]] bool buildJvmOptions();
    [[nodiscard]] uint32_t defaultJavaStackSize() const;
    [[nodiscard]] bool createJavaVm();
    [[nodiscard]] bool runMainClass();
    void redirectStandardStreams();
    void reportUncaughtException(jthrowable exception);
    void closeSplash();

    static DWORD WINAPI runJavaMainThread(void* app) noexcept;

    // Fields, in the order of the launch state they describe.
    JvmExitListener* exitListener = nullptr;
    base::UniqueKernelHandle splashThread;
    DWORD splashThreadId = 0;
    std::wstring splashImagePath;
    std::wstring splashShadow;
    int32_t jvmType = 0;
    std::wstring jvmLibraryPath;
    JavaVM* javaVm = nullptr;
    JNIEnv* mainThreadEnv = nullptr;
    std::wstring mainClass;
    jre::JavaVersion chosenJreVersion;
    jre::JavaVersion minimumVersion;
    jre::JavaVersion maximumVersion;
    std::vector<std::wstring> arguments;
    HWND splashWindowHandle = nullptr;
    bool serviceMode = false;
    bool acceptJdk = false;
    bool acceptJre = false;
    bool fallBackToOtherKind = true;
    bool acceptJRockit = false;
    bool acceptSun = true;
    bool acceptIbm = false;
    bool preferJRockit = false;
    bool preferSun = true;
    bool preferIbm = false;
    std::wstring productName;
    std::wstring productCode;
    std::wstring upgradeCode;
    std::vector<std::string> jvmOptions;
    std::vector<std::wstring> preferredVersions;
    std::wstring jrePathSetting;
    std::wstring libraryPath;
    void* sharedBlock = nullptr;
    base::UniqueKernelHandle sharedMapping;
    base::UniqueKernelHandle requestThreadHandle;
    bool firstInstance = false;
    bool singleInstanceActive = false;
    std::wstring outputFile;
    std::wstring errorFile;
    bool appendOutput = false;
    bool appendError = false;
    std::wstring systemPath;
    std::wstring cmdSetting;
    std::wstring pairProduct;
    bool pairReturnCode = false;
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    uint32_t javaThreadStackSize = 0;
    OneShotCall jreSplashClose;
    base::UniqueKernelHandle mainStartedEvent;
    bool relaunchViaPair = false;
    jvm::CreateJavaVmFn createJavaVmEntry = nullptr;
    void* defaultInitArgsEntry = nullptr;
    jvm::FindClassFromBootLoaderFn findClassFromBootLoaderEntry = nullptr;

  private:
    [[nodiscard]] int32_t relaunchThroughPair() const;
    [[nodiscard]] int32_t launch();
};

}  // namespace launcher

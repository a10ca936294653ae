#include <windows.h>

#include "base/dll_search_win.h"
#include "base/files_win.h"
#include "base/module_win.h"
#include "base/path.h"
#include "jvm/exception_text.h"
#include "jvm/jni_result.h"
#include "jvm/jvm_options_win.h"
#include "jvm/native_paths.h"
#include "jvm/redirection.h"
#include "jvm/timestamp_pattern_win.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "ui/error_box_win.h"
#include "ui/exception_dialog_win.h"

namespace launcher {

namespace {

// The JVM calls this from whatever thread ends it.
void JNICALL exitHook(jint code) noexcept {
    if (auto* app = LauncherApp::current(); app != nullptr) {
        app->closeRuntimeSplash();
        // System.exit ends the process inside the JVM: the last chance to log the launch.
        app->writeLaunchLog(code);
    }
}

// Installed as it always was, so the JVM gets the same option list; nothing needs doing before
// the JVM aborts the process.
void JNICALL abortHook() noexcept {}

}  // namespace

void LauncherApp::prepareNativePaths() {
    jvm::prepareNativePaths(runtime_.jvmLibraryPath, settings_.jvmOptions.libraryPath,
                            settings_.jvmOptions.systemPath, base::folderPrefixOf(executablePath_),
                            jvm_.jvmOptions);
}

bool LauncherApp::loadJvmLibrary(const std::wstring& path) {
    // The library stays loaded for the life of the process, so its handle has no owner. Its
    // imports come from the runtime's own bin folder, as for the runtime's java.exe.
    HMODULE library = base::loadLibraryWithDependencyFolder(path, base::folderOf(path, 2));
    if (library == nullptr) {
        const auto error = static_cast<int>(GetLastError());
        reportError(IDS_JVM_LOAD_FAILED, {std::wstring_view(path), error});
        return false;
    }
    const auto reportMissingEntry = [this] {
        const auto error = static_cast<int>(GetLastError());
        reportError(IDS_WINDOWS_EXCEPTION, {ui::messageText(IDS_NO_CREATE_JAVA_VM), error});
        return false;
    };
    jvm_.createJavaVmEntry = base::procAddress<jvm::CreateJavaVmFn>(library, "JNI_CreateJavaVM");
    if (jvm_.createJavaVmEntry == nullptr) return reportMissingEntry();
    jvm_.defaultInitArgsEntry =
        base::procAddress<jvm::GetDefaultInitArgsFn>(library, "JNI_GetDefaultJavaVMInitArgs");
    if (jvm_.defaultInitArgsEntry == nullptr) return reportMissingEntry();
    jvm_.findClassFromBootLoaderEntry =
        base::procAddress<jvm::FindClassFromBootLoaderFn>(library, "JVM_FindClassFromBootLoader");
    return true;
}

bool LauncherApp::buildJvmOptions() {
    const JvmOptionSettings& settings = settings_.jvmOptions;
    auto list = jvm::buildJvmOptions(
        {settings.classPath, settings.embeddedJar, settings.vmParameters, settings.cmdSetting},
        executablePath_);
    if (!list) {
        reportError(IDS_NO_CLASS_PATH);
        return false;
    }
    if (!list->unrepresentedPath.empty()) {
        reportError(IDS_PATH_NOT_IN_CODE_PAGE, {std::wstring_view(list->unrepresentedPath)});
        return false;
    }
    jvm_.jvmOptions.insert(jvm_.jvmOptions.end(), list->options.begin(), list->options.end());
    arguments_.insert(arguments_.end(), list->cmdArguments.begin(), list->cmdArguments.end());
    if (list->javaThreadStackSize != 0) jvm_.javaThreadStackSize = list->javaThreadStackSize;

    const auto expanded = [](const std::wstring& name) {
        return name.empty() ? name : base::expandEnvironment(name);
    };
    const OutputRedirection& output = settings_.output;
    jvm_.outputTarget = {expanded(output.outputFile), output.appendOutput};
    jvm_.errorTarget = {expanded(output.errorFile), output.appendError};
    return true;
}

uint32_t LauncherApp::defaultJavaStackSize() const {
    return jvm::defaultJavaStackSize(jvm_.defaultInitArgsEntry);
}

bool LauncherApp::createJavaVm() {
    const jint result = jvm::createJavaVm(jvm_.createJavaVmEntry, jvm_.jvmOptions, &exitHook,
                                          &abortHook, &jvm_.javaVm, &jvm_.mainThreadEnv);
    if (result == JNI_OK) {
        redirectStandardStreams();
        return true;
    }
    const unsigned reasonId = jvm::reasonStringForJniResult(result);
    const std::wstring reason = reasonId != 0 ? ui::loadResourceString(reasonId) : std::wstring();
    reportError(IDS_JNI_EXCEPTION,
                {ui::messageText(IDS_CREATE_JAVA_VM_FAILED), std::wstring_view(reason)});
    return false;
}

bool LauncherApp::runMainClass() {
    const std::wstring& mainClass = settings_.mainClass;
    jvm::MainClassCall call;
    call.findClassFromBootLoader = jvm_.findClassFromBootLoaderEntry;
    call.mainClass = mainClass;
    call.arguments = &arguments_;
    call.beforeMain = [this] {
        singleInstance.publishJavaVm(jvm_.javaVm);
        if (jvm_.mainStartedEvent) SetEvent(jvm_.mainStartedEvent.get());
    };
    call.onUncaughtException = [this](JNIEnv*, jthrowable exception) {
        reportUncaughtException(exception);
    };
    call.blockForeverAfterMain = settings_.runtimeSearch.mayChooseIbm();

    switch (jvm::runMainClass(jvm_.mainThreadEnv, jvm_.javaVm, call)) {
        case jvm::MainClassFailure::None:
            return true;
        case jvm::MainClassFailure::ClassNameString:
            reportError(IDS_MAIN_CLASS_LOAD_FAILED, {std::wstring_view(mainClass)});
            return false;
        case jvm::MainClassFailure::ClassNotFound:
            reportError(IDS_MAIN_CLASS_NOT_FOUND, {std::wstring_view(mainClass)});
            return false;
        case jvm::MainClassFailure::NoMainMethod:
            reportError(IDS_NO_MAIN_METHOD);
            return false;
        default:
            // The JVM has already described the pending exception on standard error.
            return false;
    }
}

DWORD LauncherApp::runJavaProgram() {
    if (!createJavaVm() || !runMainClass()) return 1;
    // A service's main thread ends the JVM itself, once main has returned.
    if (settings_.application.serviceMode && jvm_.javaVm != nullptr) {
        jvm_.javaVm->DestroyJavaVM();
        jvm_.javaVm = nullptr;
    }
    return 0;
}

DWORD WINAPI LauncherApp::runJavaMainThread(void* parameter) noexcept {
    auto* app = static_cast<LauncherApp*>(parameter);
    if (app == nullptr) return 1;
    try {
        return app->runJavaProgram();
    } catch (...) {
        // Ending attached would keep the DestroyJavaVM at exit waiting for this thread.
        if (app->jvm_.javaVm != nullptr) app->jvm_.javaVm->DetachCurrentThread();
        return 1;
    }
}

void LauncherApp::redirectStandardStreams() {
    jvm::expandTimestampPatterns(jvm_.outputTarget.fileName, jvm_.errorTarget.fileName);
    jvm::redirectStandardStreams(
        jvm_.mainThreadEnv, jvm_.outputTarget, jvm_.errorTarget,
        [](const std::wstring& fileName) { base::createParentFolders(fileName); });
}

void LauncherApp::reportUncaughtException(jthrowable exception) {
    closeSplash();
    if (route_.traceToStandardError) {
        // As `java` does: the JVM prints the trace to System.err (an "Error File" included).
        JNIEnv* env = jvm_.mainThreadEnv;
        env->Throw(exception);
        env->ExceptionDescribe();
        env->ExceptionClear();
    }
    if (!settings_.application.failureCheck || !route_.boxes) return;
    const std::wstring text = jvm::describeException(jvm_.mainThreadEnv, exception);
    ui::noteShownMessage(L"uncaught exception: " + text);
    if (ui::showExceptionDialog(text)) jvm::callSystemExit(jvm_.mainThreadEnv, -1);
}

}  // namespace launcher

#include <windows.h>

#include "base/dll_search_win.h"
#include "base/files_win.h"
#include "base/module_win.h"
#include "jvm/exception_text.h"
#include "jvm/jni_result.h"
#include "jvm/jvm_options_win.h"
#include "jvm/native_paths.h"
#include "jvm/redirection.h"
#include "jvm/timestamp_pattern_win.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "settings/base_text_win.h"
#include "settings/profile_store_win.h"
#include "settings/settings_files.h"
#include "ui/error_box_win.h"
#include "ui/exception_dialog_win.h"

namespace launcher {

namespace {

// The JVM calls these from whatever thread ends it; they only pass the news on.
void JNICALL exitHook(jint status) noexcept {
    if (auto* app = LauncherApp::current(); app != nullptr && app->exitListener != nullptr)
        app->exitListener->onJvmExit(status);
}

void JNICALL abortHook() noexcept {
    if (auto* app = LauncherApp::current(); app != nullptr && app->exitListener != nullptr)
        app->exitListener->onJvmAbort();
}

}  // namespace

void LauncherApp::prepareNativePaths() {
    std::wstring folder;
    if (!moduleFolder(folder)) folder.clear();
    jvm::prepareNativePaths(jvmLibraryPath, libraryPath, systemPath, folder, jvmOptions);
}

bool LauncherApp::loadJvmLibrary(const std::wstring& path) {
    // The library stays loaded for the life of the process, so its handle has no owner. Its
    // imports come from the runtime's own bin folder, as for the runtime's java.exe.
    HMODULE library = base::loadLibraryWithDependencyFolder(path, jvm::cutAtLastBackslash(path, 2));
    if (library == nullptr) {
        const auto error = static_cast<int>(GetLastError());
        ui::showErrorBox(splashWindowHandle, IDS_JVM_LOAD_FAILED, std::wstring_view(path), error);
        return false;
    }
    const auto reportMissingEntry = [this] {
        const auto error = static_cast<int>(GetLastError());
        ui::showErrorBox(splashWindowHandle, IDS_WINDOWS_EXCEPTION,
                         ui::messageText(IDS_NO_CREATE_JAVA_VM), error);
        return false;
    };
    createJavaVmEntry = base::procAddress<jvm::CreateJavaVmFn>(library, "JNI_CreateJavaVM");
    if (createJavaVmEntry == nullptr) return reportMissingEntry();
    defaultInitArgsEntry = base::procAddress<void*>(library, "JNI_GetDefaultJavaVMInitArgs");
    if (defaultInitArgsEntry == nullptr) return reportMissingEntry();
    findClassFromBootLoaderEntry =
        base::procAddress<jvm::FindClassFromBootLoaderFn>(library, "JVM_FindClassFromBootLoader");
    return true;
}

bool LauncherApp::buildJvmOptions() {
    std::wstring executable;
    if (!modulePath(executable)) return false;
    const auto mainFile = settings::mainSettingsPath(executable);
    if (!mainFile) return false;
    const settings::LayeredStore store(*mainFile, settings::loadBaseSettingsText(upgradeCode));

    jvm::JvmOptionsContext context;
    context.modulePath = executable;
    context.jvmOptions = std::move(jvmOptions);
    context.arguments = std::move(arguments);
    context.javaThreadStackSize = javaThreadStackSize;
    const bool built = jvm::buildJvmOptions(store, context, splashWindowHandle);
    jvmOptions = std::move(context.jvmOptions);
    arguments = std::move(context.arguments);
    outputFile = std::move(context.outputFile);
    errorFile = std::move(context.errorFile);
    appendOutput = context.appendOutput;
    appendError = context.appendError;
    cmdSetting = std::move(context.cmdSetting);
    javaThreadStackSize = context.javaThreadStackSize;
    return built;
}

uint32_t LauncherApp::defaultJavaStackSize() const {
    return jvm::defaultJavaStackSize(defaultInitArgsEntry);
}

bool LauncherApp::createJavaVm() {
    const jint result = jvm::createJavaVm(createJavaVmEntry, jvmOptions, &exitHook, &abortHook,
                                          &javaVm, &mainThreadEnv);
    if (result == JNI_OK) {
        redirectStandardStreams();
        return true;
    }
    const unsigned reasonId = jvm::reasonStringForJniResult(result);
    const std::wstring reason = reasonId != 0 ? ui::loadResourceString(reasonId) : std::wstring();
    ui::showErrorBox(splashWindowHandle, IDS_JNI_EXCEPTION,
                     ui::messageText(IDS_CREATE_JAVA_VM_FAILED), std::wstring_view(reason));
    return false;
}

bool LauncherApp::runMainClass() {
    jvm::MainClassCall call;
    call.findClassFromBootLoader = findClassFromBootLoaderEntry;
    call.mainClass = mainClass;
    call.arguments = &arguments;
    call.beforeMain = [this] {
        if (mainStartedEvent) SetEvent(mainStartedEvent.get());
    };
    call.onUncaughtException = [this](JNIEnv*, jthrowable exception) {
        reportUncaughtException(exception);
    };
    call.blockForeverAfterMain = acceptIbm || preferIbm;

    switch (jvm::runMainClass(mainThreadEnv, javaVm, call)) {
        case jvm::MainClassFailure::None:
            return true;
        case jvm::MainClassFailure::ClassNameString:
            ui::showErrorBox(splashWindowHandle, IDS_MAIN_CLASS_LOAD_FAILED,
                             std::wstring_view(mainClass));
            return false;
        case jvm::MainClassFailure::ClassNotFound:
            ui::showErrorBox(splashWindowHandle, IDS_MAIN_CLASS_NOT_FOUND,
                             std::wstring_view(mainClass));
            return false;
        case jvm::MainClassFailure::NoMainMethod:
            ui::showErrorBox(splashWindowHandle, IDS_NO_MAIN_METHOD);
            return false;
        default:
            // The JVM has already described the pending exception on standard error.
            return false;
    }
}

DWORD WINAPI LauncherApp::runJavaMainThread(void* parameter) noexcept {
    auto* app = static_cast<LauncherApp*>(parameter);
    if (app == nullptr) return 1;
    try {
        if (!app->createJavaVm()) return 1;
        if (!app->runMainClass()) return 1;
        if (app->serviceMode && app->javaVm != nullptr) {
            app->javaVm->DestroyJavaVM();
            app->javaVm = nullptr;
        }
        return 0;
    } catch (...) {
        return 1;
    }
}

void LauncherApp::redirectStandardStreams() {
    jvm::expandTimestampPatterns(outputFile, errorFile);
    if (!outputFile.empty()) {
        base::createParentFolders(outputFile);
        jvm::redirectStream(mainThreadEnv, outputFile, appendOutput, "setOut");
    }
    if (!errorFile.empty()) {
        base::createParentFolders(errorFile);
        jvm::redirectStream(mainThreadEnv, errorFile, appendError, "setErr");
    }
}

void LauncherApp::reportUncaughtException(jthrowable exception) {
    closeSplash();
    if (!failureCheck) return;
    const std::wstring text = jvm::describeException(mainThreadEnv, exception);
    if (ui::showExceptionDialog(text)) jvm::callSystemExit(mainThreadEnv, -1);
}

void LauncherApp::closeSplash() {
    // The own splash window comes with a later change; until then there is nothing to close.
}

}  // namespace launcher

#include "jvm/java_bridge.h"

#include <bit>
#include <chrono>
#include <thread>

#include "jvm/java_strings.h"
#include "jvm/local_ref.h"

namespace jvm {

namespace {

// The JNI invocation API passes hook functions as the extra info of an option.
template <typename Function>
void* hookAddress(Function hook) noexcept {
    static_assert(sizeof(Function) == sizeof(void*));
    return std::bit_cast<void*>(hook);
}

// Asks the JVM's own launcher class for the main class; it checks the class and its main
// method the way the java command does, printing its errors to standard error. Null when that
// path is not available or gave nothing; any exception it left is dropped silently, since
// FindClass is tried next.
jclass mainClassThroughLauncherHelper(JNIEnv* env, const MainClassCall& call) {
    if (call.findClassFromBootLoader == nullptr) return nullptr;
    jclass found = nullptr;
    const LocalRef helper(env, call.findClassFromBootLoader(env, "sun/launcher/LauncherHelper"));
    if (helper) {
        const jmethodID checkAndLoadMain = env->GetStaticMethodID(
            helper.get(), "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
        if (checkAndLoadMain != nullptr) {
            std::wstring dottedName = call.mainClass;
            for (wchar_t& c : dottedName) {
                if (c == L'/') c = L'.';
            }
            const LocalRef name(env, newJavaString(env, dottedName));
            if (name) {
                jvalue arguments[3] = {};
                arguments[0].z = JNI_TRUE;  // print errors to standard error
                arguments[1].i = 1;         // the name is a class name, not a jar
                arguments[2].l = name.get();
                found = static_cast<jclass>(
                    env->CallStaticObjectMethodA(helper.get(), checkAndLoadMain, arguments));
            }
        }
    }
    if (exceptionPending(env)) {
        env->ExceptionClear();
        if (found != nullptr) env->DeleteLocalRef(found);
        return nullptr;
    }
    return found;
}

struct ClassLookup {
    jclass mainClass = nullptr;
    MainClassFailure failure = MainClassFailure::None;
};

ClassLookup mainClassThroughFindClass(JNIEnv* env, const MainClassCall& call) {
    const LocalRef name(env, newJavaString(env, call.mainClass));
    if (!name) {
        // Nothing else may run with an exception pending; the message names the failure.
        describePendingException(env);
        return {nullptr, MainClassFailure::ClassNameString};
    }
    const char* chars = env->GetStringUTFChars(name.get(), nullptr);
    if (chars == nullptr) {
        describePendingException(env);
        return {nullptr, MainClassFailure::ClassNameChars};
    }
    const jclass found = env->FindClass(chars);
    env->ReleaseStringUTFChars(name.get(), chars);
    if (found == nullptr) {
        describePendingException(env);
        return {nullptr, MainClassFailure::ClassNotFound};
    }
    return {found, MainClassFailure::None};
}

// Everything up to the return of main; its local references are gone before the thread detaches.
MainClassFailure callMain(JNIEnv* env, const MainClassCall& call) {
    LocalRef mainClass(env, mainClassThroughLauncherHelper(env, call));
    if (!mainClass) {
        const ClassLookup lookup = mainClassThroughFindClass(env, call);
        if (lookup.failure != MainClassFailure::None) return lookup.failure;
        mainClass = LocalRef(env, lookup.mainClass);
    }

    const jmethodID mainMethod =
        env->GetStaticMethodID(mainClass.get(), "main", "([Ljava/lang/String;)V");
    if (mainMethod == nullptr) {
        return describePendingException(env) ? MainClassFailure::MainLookupThrew
                                             : MainClassFailure::NoMainMethod;
    }

    static const std::vector<std::wstring> noArguments;
    const LocalRef argumentArray(
        env, newJavaStringArray(env, call.arguments != nullptr ? *call.arguments : noArguments));
    if (!argumentArray) {
        describePendingException(env);
        return MainClassFailure::ArgumentArray;
    }

    if (call.beforeMain) call.beforeMain();
    jvalue mainArgument{};
    mainArgument.l = argumentArray.get();
    env->CallStaticVoidMethodA(mainClass.get(), mainMethod, &mainArgument);

    const LocalRef<jthrowable> uncaught(env, env->ExceptionOccurred());
    if (uncaught && call.onUncaughtException) {
        env->ExceptionClear();
        call.onUncaughtException(env, uncaught.get());
        if (!exceptionPending(env)) env->Throw(uncaught.get());
    }
    return MainClassFailure::None;
}

[[noreturn]] void blockForever() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
}

}  // namespace

jint createJavaVm(CreateJavaVmFn createEntry, const std::vector<std::string>& options,
                  ExitHookFn exitHook, AbortHookFn abortHook, JavaVM** vm, JNIEnv** env) {
    std::vector<JavaVMOption> vmOptions;
    vmOptions.reserve(options.size() + 2);
    for (const std::string& option : options) {
        // The JVM only reads the option strings; the JNI structure just lacks the const.
        vmOptions.push_back({const_cast<char*>(option.c_str()), nullptr});
    }
    vmOptions.push_back({const_cast<char*>("abort"), hookAddress(abortHook)});
    vmOptions.push_back({const_cast<char*>("exit"), hookAddress(exitHook)});

    JavaVMInitArgs initArgs{};
    initArgs.version = JNI_VERSION_1_2;
    initArgs.nOptions = static_cast<jint>(vmOptions.size());
    initArgs.options = vmOptions.data();
    initArgs.ignoreUnrecognized = JNI_FALSE;
    return createEntry(vm, reinterpret_cast<void**>(env), &initArgs);
}

MainClassFailure runMainClass(JNIEnv* env, JavaVM* vm, const MainClassCall& call) {
    const MainClassFailure failure = callMain(env, call);
    if (failure == MainClassFailure::None && call.blockForeverAfterMain) blockForever();
    // Detached on every path: a thread that ends attached is still a live non-daemon thread to
    // the JVM, and the DestroyJavaVM at exit would wait for it for ever.
    const bool detached = vm->DetachCurrentThread() == JNI_OK;
    if (failure != MainClassFailure::None) return failure;
    return detached ? MainClassFailure::None : MainClassFailure::Detach;
}

}  // namespace jvm

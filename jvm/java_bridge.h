#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

namespace jvm {

using CreateJavaVmFn = jint(JNICALL*)(JavaVM**, void**, void*);
// "JNI_GetDefaultJavaVMInitArgs", called with a JNI 1.1 init-args record.
using GetDefaultInitArgsFn = jint(JNICALL*)(void*);
using FindClassFromBootLoaderFn = jclass(JNICALL*)(JNIEnv*, const char*);
using ExitHookFn = void(JNICALL*)(jint);
using AbortHookFn = void(JNICALL*)();

// Creates the JVM with JNI 1.2 init args: the options in order, then the "abort" and "exit"
// hooks; unrecognised options make creation fail. Returns the JNI result (0 = JNI_OK); on
// success vm and env are set and env belongs to the calling thread.
[[nodiscard]] jint createJavaVm(CreateJavaVmFn createEntry, const std::vector<std::string>& options,
                                ExitHookFn exitHook, AbortHookFn abortHook, JavaVM** vm,
                                JNIEnv** env);

// What went wrong in runMainClass. The caller shows "Failed to load Main Class" for
// ClassNameString, "Could not find the main class" for ClassNotFound and "No main method" for
// NoMainMethod; the other failures have been described on the Java program's standard error.
enum class MainClassFailure {
    None,
    ClassNameString,  // the class name could not become a Java string
    ClassNameChars,   // its characters could not be had (exception described)
    ClassNotFound,    // FindClass failed (exception described)
    NoMainMethod,     // no static main(String[]) and no exception pending
    MainLookupThrew,  // looking up main raised an exception (described)
    ArgumentArray,    // the String[] of arguments could not be built (exception described)
    Detach,           // DetachCurrentThread failed
};

struct MainClassCall {
    // "JVM_FindClassFromBootLoader" of the JVM library, or null: the main class is then loaded
    // with FindClass instead of the JVM's own launcher class.
    FindClassFromBootLoaderFn findClassFromBootLoader = nullptr;
    std::wstring mainClass;  // with "/" as package separator
    const std::vector<std::wstring>* arguments = nullptr;
    // Runs right before main is called (signals that the JVM is ready for other threads).
    std::function<void()> beforeMain;
    // Called when main ended with an exception. The exception is cleared during the call, so
    // the callback may call into Java; afterwards it is raised again, so that detaching reports
    // it like any thread's uncaught exception. The callback may end the process.
    std::function<void(JNIEnv*, jthrowable)> onUncaughtException;
    // Keeps the calling thread blocked for good once main has returned (IBM JVMs), instead of
    // detaching it.
    bool blockForeverAfterMain = false;
};

// Loads the main class, calls main(String[]) with the arguments and detaches the calling
// thread, which must be the thread that created the JVM; the thread is detached whatever
// failed. Returns None when main was called and the thread detached; does not return when
// blockForeverAfterMain is set and main returned.
[[nodiscard]] MainClassFailure runMainClass(JNIEnv* env, JavaVM* vm, const MainClassCall& call);

}  // namespace jvm

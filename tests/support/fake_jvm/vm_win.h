#pragma once

#include <windows.h>

#include <jni.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/fake_jvm/scenario.h"

// The fake JVM's tiny object model: just the classes and methods a launcher touches, with
// behaviour a test can steer through the scenario and read back from the record.
namespace fakejvm {

struct ClassInfo;
struct Env;
struct Object;

// One argument or result of a Java call, by JNI kind.
struct Value {
    jint i = 0;
    jlong j = 0;
    double d = 0;
    Object* l = nullptr;
};

enum class ObjectKind {
    Class,
    String,
    CharArray,
    ObjectArray,
    FileStream,
    ByteStream,
    PrintStream,
    Throwable,
};

// Every jobject handed out is an Object*; objects live until the process ends.
struct Object {
    ObjectKind kind = ObjectKind::String;
    // The object's class; for a Class object, the class it stands for.
    ClassInfo* type = nullptr;
    // String and char[] units, the bytes of a ByteArrayOutputStream (as text) or a trace.
    std::u16string text;
    std::vector<Object*> elements;
    ClassInfo* elementType = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::u16string path;
    // What a PrintStream writes to.
    Object* target = nullptr;
};

using NativeMethod = Value (*)(Env& env, Object* self, const std::vector<Value>& args);

struct Method {
    ClassInfo* owner = nullptr;
    std::string name;
    std::string signature;
    bool isStatic = false;
    NativeMethod body = nullptr;
    // One letter per parameter (Z B C S I J F D, or L for any reference) and the result letter
    // (V, L, or a primitive letter).
    std::string parameterKinds;
    char resultKind = 'V';
};

struct ClassInfo {
    std::string name;
    Object classObject;
    std::vector<std::unique_ptr<Method>> methods;
    [[nodiscard]] const Method* method(std::string_view name, std::string_view signature,
                                       bool isStatic) const;
};

// The per-thread JNIEnv. The JNI's own structure comes first so a JNIEnv* is an Env*.
struct Env {
    JNIEnv_ jni{};
    DWORD threadId = 0;
    bool attached = true;
    bool daemon = false;  // attached as a daemon: DestroyJavaVM does not wait for it
    Object* pending = nullptr;
};

// One argument letter per parameter and the result letter of a method signature, or false when
// the signature is malformed.
[[nodiscard]] bool parseSignature(std::string_view signature, std::string& parameters,
                                  char& result);

// The scenario read once per process.
[[nodiscard]] const Scenario& scenario();

// Builds the classes; called once when the JVM is created.
void createClasses();

// A visible class by its slash-separated name, or null.
[[nodiscard]] ClassInfo* findClass(std::string_view name);
[[nodiscard]] ClassInfo* classOf(jclass handle);
[[nodiscard]] jclass classHandle(ClassInfo* type);

[[nodiscard]] Object* newObject(ObjectKind kind, ClassInfo* type);
[[nodiscard]] Object* newString(std::u16string text);
// A Throwable of the named class whose printed form is "<dotted class>: message" and a frame.
[[nodiscard]] Object* newThrowable(std::string_view className, std::u16string_view message);
// Leaves a new Throwable pending on env.
void throwNew(Env& env, std::string_view className, std::u16string_view message);

// Writes text to a PrintStream, or to the process's stdout/stderr when printStream is null.
void printTo(Object* printStream, std::u16string_view text, bool standardError);
// The current System.err (null = the process's stderr).
[[nodiscard]] Object* systemErr();

// JNIEnv of the calling thread, creating it when attach is true; null when not attached.
[[nodiscard]] Env* currentEnv(bool attach);
void detachCurrentThread();

// System.exit: record, call the "exit" hook, end the process. Returns only when the scenario
// makes it throw (the exception is then pending on env, if there is one).
void systemExit(Env* env, jint status);

// The "exit" and "abort" hooks the launcher passed as options.
void setHooks(void* exitHook, void* abortHook);
[[noreturn]] void abortVm();

// Closes the files of every FileOutputStream, for a DLL unloaded before its process ends.
void closeFiles() noexcept;

// Joins the non-daemon threads a scenario started; called by DestroyJavaVM.
void waitForJavaThreads();

// Waits until no thread but the caller is attached as a non-daemon thread, as a real JVM's
// DestroyJavaVM does: a thread that ended without detaching keeps it waiting for ever.
void waitForAttachedThreads();

// The table of JNIEnv functions (jni_env_win.cpp).
[[nodiscard]] const JNINativeInterface_* nativeInterface();

}  // namespace fakejvm

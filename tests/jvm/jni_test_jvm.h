#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

#include "jvm/java_bridge.h"

namespace jvm::testing {

// The JDK's libjvm.so, loaded once per test process.
struct JvmLibrary {
    CreateJavaVmFn createJavaVm = nullptr;
    FindClassFromBootLoaderFn findClassFromBootLoader = nullptr;
};
const JvmLibrary& jvmLibrary();

// Options that every test JVM gets: the test classes and UTF-8 as default character set.
std::vector<std::string> standardOptions();

// Runs body on a new thread, as the launcher runs the JVM on a thread of its own (HotSpot
// does not like being created on a process's primordial thread).
void onJavaThread(const std::function<void()>& body);

// A JVM created with the standard options on the calling thread; destroyed, if still there,
// by the destructor.
class TestJvm {
  public:
    TestJvm();
    ~TestJvm();
    TestJvm(const TestJvm&) = delete;
    TestJvm& operator=(const TestJvm&) = delete;

    JavaVM* vm() const { return vm_; }
    JNIEnv* env() const { return env_; }
    // DestroyJavaVM, which waits for the Java program's non-daemon threads.
    void destroy();

  private:
    JavaVM* vm_ = nullptr;
    JNIEnv* env_ = nullptr;
};

// Attaches the calling thread for the lifetime of the object (after runMainClass detached it).
class Attached {
  public:
    explicit Attached(JavaVM* vm);
    ~Attached();
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;
    JNIEnv* env() const { return env_; }

  private:
    JavaVM* vm_;
    JNIEnv* env_ = nullptr;
};

// The UTF-16 units of a Java string, read with GetStringChars (independent of the decoder
// under test).
std::u16string unitsOf(JNIEnv* env, jstring text);
std::u16string unitsOf(const std::wstring& text);

// Calls a static method without arguments, or with one object argument, returning an object.
jobject callStatic(JNIEnv* env, const char* className, const char* name, const char* signature,
                   jobject argument = nullptr);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
// A fresh, empty folder for one test.
std::string scratchFolder();

}  // namespace jvm::testing

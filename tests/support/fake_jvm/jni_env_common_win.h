#pragma once

// What the JNIEnv functions share across their files: the check every call starts with, the
// casts between handles and objects, and the parts of the function table each file fills.
#include <jni.h>

#include "tests/support/fake_jvm/vm_win.h"

namespace fakejvm {

JavaVM* theJavaVm();

namespace jni {

// Bigger arrays and strings fail as a real JVM with a small heap would.
inline constexpr jsize kLargestArray = 64 * 1024 * 1024;

Object* object(jobject handle);

template <typename Handle>
Handle handleOf(Object* value) {
    return reinterpret_cast<Handle>(value);
}

// Checks that the JNIEnv belongs to the calling thread and is still attached, and notes a call
// that the JNI forbids while an exception is pending.
Env& enter(JNIEnv* jni, const char* function, bool allowedWhilePending = false);

void addArrayFunctions(JNINativeInterface_& t);
void addStringFunctions(JNINativeInterface_& t);
void addExceptionAndReferenceFunctions(JNINativeInterface_& t);

}  // namespace jni
}  // namespace fakejvm

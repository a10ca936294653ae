#pragma once

#include <jni.h>

#include <string>

namespace jvm {

// Exactly what the exception's own printStackTrace writes (class, message, frames, causes),
// as UTF-16 units; empty when the text cannot be produced. Call it with no exception pending.
// Exceptions raised on the way are described on standard error; whatever the buffer already
// holds is still returned.
[[nodiscard]] std::wstring describeException(JNIEnv* env, jthrowable exception);

// Calls System.exit(status). Does not return when the JVM ends the process; returns false when
// the method cannot be found or the call threw (for instance, the exit was refused).
bool callSystemExit(JNIEnv* env, jint status);

}  // namespace jvm

#pragma once

#include <jni.h>

#include <string>
#include <string_view>
#include <vector>

namespace jvm {

// Strings handed to and taken from Java hold UTF-16 code units, one unit per wchar_t (on
// Windows that is UTF-16 itself). Units are copied as they are, so unpaired surrogates and
// embedded zeros survive.

// A new java.lang.String (local reference) built with String(char[]) from the units of text;
// null on failure, possibly with a Java exception pending.
[[nodiscard]] jstring newJavaString(JNIEnv* env, std::wstring_view text);

// A new String[] (local reference) holding the strings of list in order; an empty list gives
// an empty array. Null on failure, possibly with a Java exception pending.
[[nodiscard]] jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& list);

// The UTF-16 units of a Java string; empty for null or when the characters cannot be had.
[[nodiscard]] std::wstring javaStringText(JNIEnv* env, jstring text);

// Whether a Java exception is pending on env (it stays pending).
[[nodiscard]] bool exceptionPending(JNIEnv* env);

// The one place that checks for a pending Java exception: if there is one, the JVM prints it
// to the Java program's standard error and clears it. Returns whether there was one.
bool describePendingException(JNIEnv* env);

}  // namespace jvm

#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <string_view>

namespace jvm {

// A new java.io.PrintStream over an output stream (local reference), made with the
// one-argument constructor so that it does not flush at every line end; null on failure.
[[nodiscard]] jobject newPrintStream(JNIEnv* env, jobject outputStream);

// Replaces System.out or System.err (setterName "setOut" or "setErr") by a print stream over a
// FileOutputStream on fileName, appending or truncating. A Java exception on the way (missing
// drive, read-only file, invalid name) is described on the current standard error and cleared;
// the stream then stays as it was.
void redirectStream(JNIEnv* env, std::wstring_view fileName, bool append, const char* setterName);

struct StreamTarget {
    std::wstring fileName;  // empty: leave the stream alone
    bool append = false;
};

// Redirects standard output, then standard error, each only when its file name is set. Before
// opening a file, prepareFolders creates the folders leading to it (its outcome is not
// checked: the file stream reports any failure). Failures never stop the launch.
void redirectStandardStreams(JNIEnv* env, const StreamTarget& output, const StreamTarget& error,
                             const std::function<void(const std::wstring&)>& prepareFolders);

}  // namespace jvm

#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <string_view>

namespace jvm {

// A new java.io.PrintStream over an output stream (local reference), made with the
// one-argument constructor so that it does not flush at every line end; null on failure.
[[nodiscard]] jobject newPrintStream(JNIEnv* env, jobject outputStream);

struct StreamTarget {
    std::wstring fileName;  // empty: leave the stream alone
    bool append = false;
};

// Redirects standard output, then standard error, each only when its file name is set, to a
// print stream over a FileOutputStream that appends or truncates. Before opening a file,
// prepareFolders creates the folders leading to it (its outcome is not checked: the file
// stream reports any failure). A Java exception on the way (missing drive, read-only file,
// invalid name) is described on the current standard error and cleared; that stream then stays
// as it was. Failures never stop the launch.
void redirectStandardStreams(JNIEnv* env, const StreamTarget& output, const StreamTarget& error,
                             const std::function<void(const std::wstring&)>& prepareFolders);

}  // namespace jvm

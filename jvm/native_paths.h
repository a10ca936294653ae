#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace jvm {

// The runtime folder of a JVM library, with a trailing backslash: C:\jre\bin\server\jvm.dll
// gives C:\jre\ (empty without backslashes).
[[nodiscard]] std::wstring jreHomeFolder(std::wstring_view jvmLibraryPath);

using ExpandEnvironment = std::function<std::wstring(const std::wstring&)>;

// The JVM's native library path: the "Library Path" value, the executable's folder, the current
// folder, the process's Path and the runtime's lib folder, ";" between each. `executableFolder`
// ends with a backslash. Environment references are expanded; %Path% is the Path before it is
// extended for the JVM.
[[nodiscard]] std::wstring composeLibraryPath(std::wstring_view libraryPath,
                                              std::wstring_view executableFolder,
                                              std::wstring_view jvmLibraryPath,
                                              const ExpandEnvironment& expand);

// The new process search path before expansion: the "System Path" value, the current Path and
// the runtime's bin folder, so the JVM library's neighbours can be loaded.
[[nodiscard]] std::wstring searchPathTemplate(std::wstring_view systemPath,
                                              std::wstring_view jvmLibraryPath);

}  // namespace jvm

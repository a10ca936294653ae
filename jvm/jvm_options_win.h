#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jvm/java_bridge.h"
#include "jvm/memory_options.h"

namespace jvm {

// Publishes the chosen JVM in VX_JVM_PATH and VX_JVM_HOME, puts the native library path
// composed from a non-empty `libraryPath` setting first in `jvmOptions` as -Djava.library.path,
// and extends the process's Path by `systemPath` and the runtime's bin folder.
void prepareNativePaths(const std::wstring& jvmLibraryPath, std::wstring_view libraryPath,
                        const std::wstring& systemPath, std::wstring_view executableFolder,
                        std::vector<std::string>& jvmOptions);

// The settings the option list is made of, as read (environment references unexpanded).
struct JvmOptionSources {
    std::wstring_view classPath{};
    bool embeddedJar = false;
    std::wstring_view vmParameters{};
    std::wstring_view cmdSetting{};
};

// What the settings add to a launch.
struct JvmOptionList {
    // "-Djava.class.path=..." and then the VM parameters, in the thread's ANSI code page.
    std::vector<std::string> options;
    // The "Cmd" arguments, expanded, for after the command line's.
    std::vector<std::wstring> cmdArguments;
    // The last "-Xss" among the parameters; 0 when there is none.
    uint32_t javaThreadStackSize = 0;
    // A path the JVM would need in the ANSI code page that neither it nor a short name can
    // carry; when set, the list is unusable (empty) and the caller reports the path.
    std::wstring unrepresentedPath;
};

// The option list for the executable at `executablePath`; nullopt when the class path comes out
// empty, which the caller reports.
[[nodiscard]] std::optional<JvmOptionList> buildJvmOptions(const JvmOptionSources& sources,
                                                           std::wstring_view executablePath);

// The JVM library's default Java stack size in bytes, asked through its
// "JNI_GetDefaultJavaVMInitArgs" entry; 0 when it reports none (or there is no entry).
[[nodiscard]] uint32_t defaultJavaStackSize(GetDefaultInitArgsFn getDefaultInitArgs);

// The memory figures as GlobalMemoryStatus reports them.
[[nodiscard]] MemoryFigures currentMemoryFigures();

// The names FindFirstFileW/FindNextFileW return for a pattern, in their order.
[[nodiscard]] std::vector<std::wstring> findMatchingNames(const std::wstring& pattern);

}  // namespace jvm

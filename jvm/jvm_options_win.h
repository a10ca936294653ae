#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jvm/memory_options.h"
#include "settings/settings_store.h"

namespace jvm {

// Publishes the chosen JVM in VX_JVM_PATH and VX_JVM_HOME, replaces a non-empty `libraryPath` by
// the composed native library path and puts it first in `jvmOptions` as -Djava.library.path,
// and extends the process's Path by `systemPath` and the runtime's bin folder.
void prepareNativePaths(const std::wstring& jvmLibraryPath, std::wstring& libraryPath,
                        const std::wstring& systemPath, std::wstring_view moduleFolder,
                        std::vector<std::string>& jvmOptions);

// In/out state of buildJvmOptions; mirrors the launcher's fields of the same names.
struct JvmOptionsContext {
    std::wstring modulePath;  // the executable's full path
    std::vector<std::string> jvmOptions;
    std::vector<std::wstring> arguments;
    std::wstring outputFile, errorFile;
    bool appendOutput = false, appendError = false;
    std::wstring cmdSetting;
    uint32_t javaThreadStackSize = 0;
};

// Appends the class path and the VM parameters to `jvmOptions`, stores the redirection targets
// and appends the "Cmd" arguments. An empty class path is reported in an error box owned by
// `errorOwner`; the result is then false and nothing has been appended.
bool buildJvmOptions(const settings::SettingsStore& store, JvmOptionsContext& context,
                     HWND errorOwner);

// The JVM library's default Java stack size in bytes from its "JNI_GetDefaultJavaVMInitArgs"
// entry; 0 when it reports none (or there is no entry).
uint32_t defaultJavaStackSize(void* getDefaultInitArgsEntry);

// The memory figures as GlobalMemoryStatus reports them.
[[nodiscard]] MemoryFigures currentMemoryFigures();

// The names FindFirstFileW/FindNextFileW return for a pattern, in their order.
[[nodiscard]] std::vector<std::wstring> findMatchingNames(const std::wstring& pattern);

}  // namespace jvm

#include <windows.h>

#include <optional>

#include "base/ansi_paths_win.h"
#include "base/files_win.h"
#include "base/path.h"
#include "jvm/jvm_options_win.h"
#include "jvm/native_paths.h"

namespace jvm {

namespace {

// ExpandEnvironmentStringsW that tells failure apart from text without references.
std::optional<std::wstring> expandedOrNothing(const std::wstring& text) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring buffer(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    if (written == 0 || written > needed) return std::nullopt;
    buffer.resize(buffer.find(L'\0'));
    return buffer;
}

}  // namespace

void prepareNativePaths(const std::wstring& jvmLibraryPath, std::wstring_view libraryPath,
                        const std::wstring& systemPath, std::wstring_view executableFolder,
                        std::vector<std::string>& jvmOptions) {
    SetEnvironmentVariableW(L"VX_JVM_PATH", jvmLibraryPath.c_str());
    SetEnvironmentVariableW(L"VX_JVM_HOME", base::folderOf(jvmLibraryPath, 3).c_str());

    if (!libraryPath.empty()) {
        const std::wstring composed = composeLibraryPath(
            libraryPath, executableFolder, jvmLibraryPath,
            [](const std::wstring& text) { return base::expandEnvironment(text); });
        // The list carries the inherited Path, whose entries the program may never need, so an
        // entry the code page cannot carry is passed as it is rather than refused.
        jvmOptions.insert(jvmOptions.begin(),
                          base::toThreadAnsiOption(L"-Djava.library.path=" + composed).text);
    }

    // A failed expansion would leave "%Path%" as the literal search path and lose the old one;
    // the Path then stays as it is.
    if (const auto searchPath = expandedOrNothing(searchPathTemplate(systemPath, jvmLibraryPath))) {
        SetEnvironmentVariableW(L"Path", searchPath->c_str());
    }
}

}  // namespace jvm

#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace base {

// True when FindFirstFileW finds an entry matching the path.
[[nodiscard]] bool pathExists(std::wstring_view path);

// Creates the missing folders on the way to a file, never the file itself. Returns 0 or the
// Win32 error of the level that could not be created.
DWORD createParentFolders(std::wstring_view filePath);

// RemoveDirectoryW, with the long-path prefix added where needed.
bool removeFolder(std::wstring_view path);

// The executable's full path, however long; nullopt (with the last error set) on failure.
[[nodiscard]] std::optional<std::wstring> executablePath();

// An environment variable read whole; empty when it is unset.
[[nodiscard]] std::wstring environmentVariable(const wchar_t* name);

// ExpandEnvironmentStringsW on the text; the text unchanged when expansion fails.
[[nodiscard]] std::wstring expandEnvironment(const std::wstring& text);

}  // namespace base

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

inline constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";
inline constexpr size_t kMaxPath = 260;

[[nodiscard]] bool hasLongPathPrefix(std::wstring_view path) noexcept;

// The folder part of a path, `levels` times: the text before the last backslash. A path without
// a backslash is given back as it is, so cutting more levels than a path has stops at its first
// component: folderOf(L"C:\\jre\\bin\\server\\jvm.dll", 2) is C:\jre\bin.
[[nodiscard]] std::wstring folderOf(std::wstring_view path, int levels = 1);

// The text up to and including the last backslash, ready for a name to be appended; empty when
// there is none.
[[nodiscard]] std::wstring folderPrefixOf(std::wstring_view path);

// The text after the last backslash; the whole path when there is none.
[[nodiscard]] std::wstring fileNameOf(std::wstring_view path);

// `name` inside `folder`, with exactly one backslash between them (none added to an empty
// folder).
[[nodiscard]] std::wstring joinPath(std::wstring_view folder, std::wstring_view name);

// Paths of MAX_PATH characters or more need the long-path prefix for the file APIs; this adds
// it when the path is that long and does not have it yet.
[[nodiscard]] std::wstring withLongPathPrefixIfLong(std::wstring_view path);

// The form of a folder path to hand CreateDirectoryW: it refuses 248 characters or more (room
// for an 8.3 name inside) without the long-path prefix, and only a full drive-letter or UNC
// path may carry the prefix, so relative paths stay as they are.
[[nodiscard]] std::wstring folderPathForCreation(std::wstring_view path);

// Only absolute paths (drive letter or leading "\\") are tested for existence before folders
// are created for a file.
[[nodiscard]] bool isAbsoluteForExistenceTest(std::wstring_view path) noexcept;

// How the folders leading to a file are created: start at `root`, then append each of
// `folders` with a backslash in between. The file name itself is not part of the plan.
struct ParentFolderPlan {
    std::wstring root;
    std::vector<std::wstring> folders;
    bool unc = false;  // failures to create a level are passed over (server and share names)
};
[[nodiscard]] ParentFolderPlan planParentFolders(std::wstring_view filePath);

}  // namespace base

#include "base/path.h"

namespace base {

bool hasLongPathPrefix(std::wstring_view path) noexcept {
    return path.substr(0, kLongPathPrefix.size()) == kLongPathPrefix;
}

std::wstring folderOf(std::wstring_view path, int levels) {
    for (int level = 0; level < levels; ++level) {
        const size_t last = path.rfind(L'\\');
        if (last == std::wstring_view::npos) break;
        path = path.substr(0, last);
    }
    return std::wstring(path);
}

std::wstring folderPrefixOf(std::wstring_view path) {
    const size_t last = path.rfind(L'\\');
    return last == std::wstring_view::npos ? std::wstring()
                                           : std::wstring(path.substr(0, last + 1));
}

std::wstring fileNameOf(std::wstring_view path) {
    const size_t last = path.rfind(L'\\');
    return std::wstring(last == std::wstring_view::npos ? path : path.substr(last + 1));
}

std::wstring joinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

std::wstring withLongPathPrefixIfLong(std::wstring_view path) {
    if (path.size() >= kMaxPath && !hasLongPathPrefix(path)) {
        // A UNC path \\server\share\x becomes \\?\UNC\server\share\x.
        if (path.substr(0, 2) == L"\\\\") {
            std::wstring prefixed(kLongPathPrefix);
            prefixed += L"UNC";
            prefixed += path.substr(1);
            return prefixed;
        }
        std::wstring prefixed(kLongPathPrefix);
        prefixed += path;
        return prefixed;
    }
    return std::wstring(path);
}

std::wstring folderPathForCreation(std::wstring_view path) {
    constexpr size_t kMaxFolderPath = kMaxPath - 12;
    const bool full =
        (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.substr(0, 2) == L"\\\\";
    if (path.size() < kMaxFolderPath || !full || hasLongPathPrefix(path)) return std::wstring(path);
    std::wstring prefixed(kLongPathPrefix);
    if (path.substr(0, 2) == L"\\\\") {
        prefixed += L"UNC";
        prefixed += path.substr(1);
    } else {
        prefixed += path;
    }
    return prefixed;
}

bool isAbsoluteForExistenceTest(std::wstring_view path) noexcept {
    if (path.size() < 2) return false;
    return path.substr(0, 2) == L"\\\\" || path[1] == L':';
}

ParentFolderPlan planParentFolders(std::wstring_view filePath) {
    ParentFolderPlan plan;
    plan.unc = filePath.size() >= 3 && filePath.substr(0, 2) == L"\\\\" && filePath[2] != L'?';

    const bool prefixed = hasLongPathPrefix(filePath);
    std::wstring_view rest = prefixed ? filePath.substr(kLongPathPrefix.size()) : filePath;

    // A UNC path's root holds the server name: search for its end after the two backslashes.
    const bool uncStart = rest.size() >= 3 && rest.substr(0, 2) == L"\\\\" && rest[2] != L'?';
    const size_t rootEnd = rest.find(L'\\', uncStart ? 2 : 0);
    plan.root = prefixed ? std::wstring(kLongPathPrefix) : std::wstring();
    if (rootEnd == std::wstring_view::npos) {
        plan.root += rest;
        return plan;
    }
    plan.root += rest.substr(0, rootEnd);

    std::vector<std::wstring> components;
    std::wstring_view tail = rest.substr(rootEnd + 1);
    size_t position = 0;
    while (position < tail.size()) {
        const size_t next = tail.find(L'\\', position);
        if (next == std::wstring_view::npos) {
            components.emplace_back(tail.substr(position));
            break;
        }
        components.emplace_back(tail.substr(position, next - position));
        position = next + 1;
    }
    // The last component is the file name, which is never created.
    if (!components.empty()) components.pop_back();
    plan.folders = std::move(components);
    return plan;
}

}  // namespace base

#include <windows.h>

#include "base/files_win.h"

#include <vector>

#include "base/handles_win.h"
#include "base/path.h"

namespace base {

bool pathExists(std::wstring_view path) {
    WIN32_FIND_DATAW data;
    const std::wstring searched = withLongPathPrefixIfLong(path);
    UniqueFindHandle find(FindFirstFileW(searched.c_str(), &data));
    return static_cast<bool>(find);
}

bool removeFolder(std::wstring_view path) {
    return RemoveDirectoryW(withLongPathPrefixIfLong(path).c_str()) != FALSE;
}

DWORD createParentFolders(std::wstring_view filePath) {
    if (isAbsoluteForExistenceTest(filePath)) {
        WIN32_FIND_DATAW data;
        const std::wstring searched = withLongPathPrefixIfLong(filePath);
        UniqueFindHandle find(FindFirstFileW(searched.c_str(), &data));
        if (find) return 0;
    }

    const ParentFolderPlan plan = planParentFolders(filePath);
    std::wstring current = plan.root;
    DWORD lastError = 0;
    bool passedALevel = false;
    for (const auto& folder : plan.folders) {
        std::wstring candidate = current + L"\\" + folder;
        if (CreateDirectoryW(folderPathForCreation(candidate).c_str(), nullptr)) {
            lastError = 0;
        } else {
            lastError = GetLastError();
            if (lastError != ERROR_ALREADY_EXISTS && !plan.unc) {
                // Leave nothing half-made behind: the level above is removed if it is empty.
                if (passedALevel) removeFolder(current);
                return lastError;
            }
        }
        current = std::move(candidate);
        passedALevel = true;
    }
    return lastError == ERROR_ALREADY_EXISTS ? 0 : lastError;
}

std::optional<std::wstring> executablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return std::nullopt;
        // A path that fills the buffer was cut: read it again into a larger one.
        if (length < size) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring environmentVariable(const wchar_t* name) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        SetLastError(0);
        const DWORD length =
            GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length);  // the size asked for includes the terminator
    }
}

std::wstring expandEnvironment(const std::wstring& text) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::vector<wchar_t> buffer(needed);
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    if (written == 0 || written > needed) return text;
    return std::wstring(buffer.data());  // ends at its first zero character
}

}  // namespace base

#include <windows.h>

#include "base/dll_search_win.h"

#include <vector>

#include "base/path.h"

namespace base {

namespace {

std::wstring systemFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length);  // the size asked for includes the terminator
    }
}

}  // namespace

void removeCurrentDirectoryFromDllSearch() noexcept {
    // Any DLL directory takes the current directory's place in the order. The system folder
    // adds nothing that is not searched anyway; the documented empty name is not honoured
    // everywhere (Wine keeps the current directory for it).
    try {
        const std::wstring folder = systemFolder();
        SetDllDirectoryW(folder.c_str());
    } catch (...) {
        SetDllDirectoryW(L"");
    }
}

UniqueModule loadSystemLibrary(std::wstring_view fileName) {
    const std::wstring folder = systemFolder();
    if (folder.empty()) return UniqueModule();
    // By full path, and with the system folder first for the library's own imports too.
    const std::wstring path = joinPath(folder, fileName);
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

HMODULE loadLibraryWithDependencyFolder(const std::wstring& path,
                                        const std::wstring& dependencyFolder) {
    // The altered search order puts the library's own folder where the executable's folder
    // would be; it is defined only for a full path.
    const DWORD flags = isAbsoluteForExistenceTest(path) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    // The DLL directory is inherited by the processes the Java program starts, so it names the
    // runtime's folder only while the library and its imports load.
    const bool folderSet =
        !dependencyFolder.empty() && SetDllDirectoryW(dependencyFolder.c_str()) != FALSE;
    HMODULE library = LoadLibraryExW(withLongPathPrefixIfLong(path).c_str(), nullptr, flags);
    const DWORD error = GetLastError();
    if (folderSet) removeCurrentDirectoryFromDllSearch();
    SetLastError(error);
    return library;
}

}  // namespace base

#include <windows.h>

#include "jre/jre_search_win.h"

#include <algorithm>
#include <cstring>

#include "base/handles_win.h"
#include "base/path.h"
#include "jre/pe_image.h"

namespace jre {

namespace {

// Registry key names are at most 255 characters.
constexpr DWORD kMaxKeyNameLength = 256;
// A folder value larger than the longest possible path is not a folder name.
constexpr DWORD kMaxJavaHomeBytes = 32768 * sizeof(wchar_t);
constexpr DWORD kFirstJavaHomeBytes = (MAX_PATH + 1) * sizeof(wchar_t);

REGSAM viewFlag(RegistryView view) noexcept {
    return view == RegistryView::Wide64 ? KEY_WOW64_64KEY : 0;
}

HKEY rootKey(RegistryRoot root) noexcept {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

base::UniqueRegKey openKey(RegistryRoot root, const std::wstring& path, RegistryView view) {
    base::UniqueRegKey key;
    if (RegOpenKeyExW(rootKey(root), path.c_str(), 0, KEY_READ | viewFlag(view), key.put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    return key;
}

std::wstring withoutTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

bool WindowsFileSystem::fileExists(std::wstring_view path) const {
    return lookUpFile(path) == FileLookup::Found;
}

FileLookup WindowsFileSystem::lookUpFile(std::wstring_view path) const {
    if (path.empty() || hasWildcard(path)) return FileLookup::NotFound;
    // The attributes alone answer the question; a directory search would open the folder and
    // cost Wine several round trips to its server for each of the many probes of a search.
    const std::wstring probed = base::withLongPathPrefixIfLong(path);
    const DWORD attributes = GetFileAttributesW(probed.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return GetLastError() == ERROR_PATH_NOT_FOUND ? FileLookup::NoFolder : FileLookup::NotFound;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? FileLookup::Found : FileLookup::NotFound;
}

std::optional<uint16_t> WindowsFileSystem::imageMachine(std::wstring_view path) const {
    // The headers sit at the start: the first page holds them in any ordinary image, and one read
    // costs far less than mapping the file. A header further in is looked for within the first
    // megabyte, as far as any real image puts it.
    for (const size_t window : {size_t{4096}, size_t{1} << 20}) {
        const auto start = readFileStart(path, window);
        if (!start) return std::nullopt;
        const auto machine =
            peMachine({reinterpret_cast<const uint8_t*>(start->data()), start->size()});
        if (machine || start->size() < window) return machine;
    }
    return std::nullopt;
}

std::optional<std::string> WindowsFileSystem::readFileStart(std::wstring_view path,
                                                            size_t maxBytes) const {
    if (path.empty()) return std::nullopt;
    const std::wstring opened = base::withLongPathPrefixIfLong(path);
    base::UniqueFileHandle file(CreateFileW(opened.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A registry value may name a pipe or a device, whose reads could wait for ever.
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
    std::string content(maxBytes, '\0');
    size_t filled = 0;
    while (filled < maxBytes) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(maxBytes - filled, 1 << 20));
        DWORD read = 0;
        if (!ReadFile(file.get(), content.data() + filled, wanted, &read, nullptr)) {
            return std::nullopt;
        }
        filled += read;
        // A short read of a disk file is its end; asking again would only cost a call.
        if (read < wanted) break;
    }
    content.resize(filled);
    return content;
}

std::optional<std::vector<std::wstring>> WindowsRegistry::subkeyNames(RegistryRoot root,
                                                                      std::wstring_view keyPath,
                                                                      RegistryView view) const {
    const base::UniqueRegKey key =
        openKey(root, withoutTrailingBackslash(prefix_ + std::wstring(keyPath)), view);
    if (!key) return std::nullopt;
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kMaxKeyNameLength];
        DWORD length = kMaxKeyNameLength;
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

std::optional<std::wstring> WindowsRegistry::textValue(RegistryRoot root, std::wstring_view keyPath,
                                                       std::wstring_view subkey,
                                                       std::wstring_view valueName,
                                                       RegistryView view) const {
    std::wstring path = prefix_;
    path += keyPath;
    path += subkey;
    const base::UniqueRegKey key = openKey(root, path, view);
    if (!key) return std::nullopt;
    const std::wstring name(valueName);
    // One query answers for any ordinary folder name; only a longer value needs its size asked
    // for and a second query.
    std::vector<BYTE> data(kFirstJavaHomeBytes);
    DWORD size = static_cast<DWORD>(data.size());
    LSTATUS status =
        RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, data.data(), &size);
    if (status == ERROR_MORE_DATA && size <= kMaxJavaHomeBytes) {
        data.resize(size);
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, data.data(), &size);
    }
    if (status != ERROR_SUCCESS || size == 0 || size > data.size()) return std::nullopt;
    // The value's type does not matter: its bytes are read as UTF-16 text.
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    if (text.empty()) return std::nullopt;
    return text;
}

std::optional<std::wstring> WindowsSourceEnvironment::variable(std::wstring_view name) const {
    const std::wstring key(name);
    std::wstring value(MAX_PATH, L'\0');
    // A variable may change between the two calls; a few rounds settle it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length =
            GetEnvironmentVariableW(key.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
    return std::nullopt;
}

std::vector<std::wstring> WindowsSourceEnvironment::subfolderNames(std::wstring_view folder) const {
    std::vector<std::wstring> names;
    if (folder.empty() || hasWildcard(folder)) return names;
    const std::wstring pattern = base::withLongPathPrefixIfLong(std::wstring(folder) + L"*");
    WIN32_FIND_DATAW found;
    // Only the names are needed, and the short-name lookup costs time on every entry.
    base::UniqueFindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                                   FindExSearchLimitToDirectories, nullptr, 0));
    if (!search) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        names.emplace_back(name);
    } while (FindNextFileW(search.get(), &found));
    return names;
}

LauncherPlatform thisLauncherPlatform() noexcept {
#ifdef _WIN64
    // The 64-bit launcher's own view already is the 64-bit one.
    return {kMachineAmd64, false};
#else
    return {kMachineI386, true};
#endif
}

JreSearchResult findJre(const JreSearchSettings& settings, std::wstring_view executableFolder,
                        SearchTrace* trace) {
    return searchForJre(settings, executableFolder, WindowsRegistry(), WindowsFileSystem(),
                        thisLauncherPlatform(), WindowsSourceEnvironment(), trace);
}

ProbeResult probeJvmLibrary(std::wstring_view folder, JvmType type) {
    return probeJvmLibrary(folder, type, WindowsFileSystem());
}

bool isJreFolder(std::wstring_view folder) { return isJreFolder(folder, WindowsFileSystem()); }

bool needsPairForLibrary(std::wstring_view jvmLibraryPath, std::wstring_view pairProduct) {
    if (pairProduct.empty()) return false;
    return needsPairForMachine(WindowsFileSystem().imageMachine(jvmLibraryPath), pairProduct,
                               thisLauncherPlatform().machine);
}

}  // namespace jre

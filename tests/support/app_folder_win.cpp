#include <windows.h>

#include "tests/support/app_folder_win.h"

#include <atomic>
#include <stdexcept>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "tests/support/record_lines.h"

#ifndef SUPPORT_FAKEJVM_DIR
#error "SUPPORT_FAKEJVM_DIR names the folder of the fake JVM builds"
#endif

namespace support {
namespace {

std::runtime_error failure(const std::string& what) {
    return std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::wstring withoutTrailingSlash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring folderOf(std::wstring_view path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? std::wstring()
                                            : std::wstring(path.substr(0, slash + 1));
}

void createFoldersFor(const std::wstring& filePath) {
    const DWORD error = base::createParentFolders(filePath);
    if (error != 0) {
        SetLastError(error);
        throw failure("cannot create the folders for a test file");
    }
}

std::string narrowOf(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

std::wstring scenarioFolder(const AppFolder& folder, std::wstring_view relativeDll) {
    return folderOf(folder.file(relativeDll));
}

}  // namespace

std::wstring windowsPathOf(std::string_view hostPath) {
    std::wstring path(hostPath.begin(), hostPath.end());
    if (!path.empty() && path.front() == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::wstring fakeJvmPath(FakeJvm variant) {
    const std::wstring folder = windowsPathOf(SUPPORT_FAKEJVM_DIR) + L"\\";
    switch (variant) {
        case FakeJvm::NoLauncher:
            return folder + L"fakejvm_nolauncher.dll";
        case FakeJvm::NoCreate:
            return folder + L"fakejvm_nocreate.dll";
        case FakeJvm::Full:
            break;
    }
    return folder + L"fakejvm.dll";
}

AppFolder::AppFolder(std::wstring_view tag) {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) throw failure("no temporary folder");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = std::wstring(temp, length);
        if (candidate.back() != L'\\') candidate += L'\\';
        candidate += L"jl-" + std::wstring(tag) + L"-" + std::to_wstring(GetCurrentProcessId()) +
                     L"-" + std::to_wstring(counter++) + L"\\";
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = std::move(candidate);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw failure("cannot create a test folder");
    }
    throw failure("no free test folder name");
}

AppFolder::~AppFolder() {
    if (!keep_) removeTree(path_);
}

std::wstring AppFolder::file(std::wstring_view relative) const {
    return path_ + std::wstring(relative);
}

std::wstring AppFolder::copyIn(const std::wstring& source, std::wstring_view relative) {
    const std::wstring target = file(relative);
    createFoldersFor(target);
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        throw failure("cannot copy " + narrowOf(source, CP_UTF8));
    }
    return target;
}

std::wstring AppFolder::writeBytes(std::wstring_view relative, std::string_view bytes) {
    const std::wstring target = file(relative);
    createFoldersFor(target);
    base::UniqueFileHandle handle(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
    if (!handle) throw failure("cannot create " + narrowOf(target, CP_UTF8));
    DWORD written = 0;
    if (!WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size()) {
        throw failure("cannot write " + narrowOf(target, CP_UTF8));
    }
    return target;
}

std::wstring AppFolder::writeText(std::wstring_view relative, std::wstring_view text,
                                  TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi:
            return writeBytes(relative, narrowOf(text, CP_ACP));
        case TextEncoding::Utf8:
            return writeBytes(relative, narrowOf(text, CP_UTF8));
        case TextEncoding::Utf16WithBom:
            break;
    }
    std::string bytes = "\xFF\xFE";
    for (const wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return writeBytes(relative, bytes);
}

bool AppFolder::exists(std::wstring_view relative) const {
    return GetFileAttributesW(file(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string AppFolder::readBytes(std::wstring_view relative) const {
    base::UniqueFileHandle handle(
        CreateFileW(file(relative).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

std::wstring AppFolder::installJvm(FakeJvm variant, std::wstring_view relativeDll,
                                   bool markRuntime) {
    const std::wstring dll = copyIn(fakeJvmPath(variant), relativeDll);
    if (markRuntime) {
        // jre\bin\client\jvm.dll -> jre\bin\java.dll
        const std::wstring typeFolder = withoutTrailingSlash(folderOf(relativeDll));
        const std::wstring binFolder = folderOf(typeFolder);
        (void)writeBytes(binFolder + L"java.dll", "");
    }
    return dll;
}

void AppFolder::writeScenario(std::string_view utf8Text, std::wstring_view relativeDll) {
    const std::wstring folder = scenarioFolder(*this, relativeDll);
    (void)writeBytes(folder.substr(path_.size()) + L"fakejvm.scenario", utf8Text);
}

std::vector<std::string> AppFolder::readRecord(std::wstring_view relativeDll) const {
    const std::wstring folder = scenarioFolder(*this, relativeDll);
    return splitLines(readBytes(folder.substr(path_.size()) + L"fakejvm.record"));
}

void AppFolder::clearRecord(std::wstring_view relativeDll) {
    DeleteFileW((scenarioFolder(*this, relativeDll) + L"fakejvm.record").c_str());
}

bool removeTree(const std::wstring& folder) {
    const std::wstring root = withoutTrailingSlash(folder);
    if (root.empty()) return false;
    auto removeOnce = [](const std::wstring& top, auto& self) -> void {
        WIN32_FIND_DATAW data;
        base::UniqueFindHandle find(FindFirstFileW((top + L"\\*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = top + L"\\" + name;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    self(full, self);
                } else {
                    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(find.get(), &data));
        }
        RemoveDirectoryW(top.c_str());
    };
    for (int attempt = 0; attempt < 50; ++attempt) {
        removeOnce(root, removeOnce);
        if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
        Sleep(100);
    }
    return false;
}

}  // namespace support

#include <windows.h>

#include "tests/settings/temp_folder_win.h"

#include <stdexcept>
#include <vector>

#include "base/files_win.h"

namespace testing_support {

namespace {

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) throw std::runtime_error("GetTempPathW failed");
    std::wstring base(buffer.data(), length);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    static unsigned counter = 0;
    for (;;) {
        path_ = base + L"\\settings-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temp folder");
    }
}

TempFolder::~TempFolder() { removeTree(path_); }

std::wstring TempFolder::operator/(std::wstring_view name) const {
    return path_ + L"\\" + std::wstring(name);
}

void writeFileBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create test file");
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write test file");
}

std::string utf16leBytes(std::wstring_view text, bool byteOrderMark) {
    std::string bytes = byteOrderMark ? std::string("\xFF\xFE") : std::string();
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value)
    : name_(name) {
    previous_ = base::environmentVariable(name);
    hadValue_ = GetEnvironmentVariableW(name, nullptr, 0) != 0;
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableW(name_.c_str(), hadValue_ ? previous_.c_str() : nullptr);
}

}  // namespace testing_support

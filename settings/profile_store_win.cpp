#include <windows.h>

#include "settings/profile_store_win.h"

#include "base/handles_win.h"
#include "settings/growing_read.h"
#include "settings/layered_read.h"

namespace settings {

ProfileStore::ProfileStore(std::wstring path) : path_(std::move(path)) {}

uint32_t ProfileStore::probe(std::array<uint8_t, 4>& buffer) {
    buffer.fill(0);
    base::UniqueFileHandle file(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
        return GetLastError();
    }
    return 0;
}

void ProfileStore::getString(std::wstring_view section, std::wstring_view key,
                             std::wstring& out) const {
    const std::wstring sectionName(section);
    const std::wstring keyName(key);
    out = readProfileValue([&](wchar_t* buffer, uint32_t size) -> uint32_t {
        return GetPrivateProfileStringW(sectionName.c_str(), keyName.c_str(), L"", buffer, size,
                                        path_.c_str());
    });
}

void ProfileStore::getSectionNames(std::vector<std::wstring>& out) const {
    readProfileSectionNames(
        [&](wchar_t* buffer, uint32_t size) -> uint32_t {
            return GetPrivateProfileSectionNamesW(buffer, size, path_.c_str());
        },
        out);
}

bool ProfileStore::setString(std::wstring_view section, std::wstring_view key,
                             std::wstring_view value) {
    const std::wstring sectionName(section);
    const std::wstring keyName(key);
    const std::wstring text(value);
    return WritePrivateProfileStringW(sectionName.c_str(), keyName.c_str(), text.c_str(),
                                      path_.c_str()) != FALSE;
}

bool ProfileStore::remove() { return DeleteFileW(path_.c_str()) != FALSE; }

LayeredStore::LayeredStore(std::wstring path, std::wstring_view baseText)
    : ProfileStore(std::move(path)) {
    loadBase(baseText);
}

void LayeredStore::loadBase(std::wstring_view text) { baseLayer_.parse(text); }

void LayeredStore::getString(std::wstring_view section, std::wstring_view key,
                             std::wstring& out) const {
    layeredRead(
        baseLayer_,
        [this](std::wstring_view fileSection, std::wstring_view fileKey) {
            std::wstring value;
            ProfileStore::getString(fileSection, fileKey, value);
            return value;
        },
        section, key, out);
}

}  // namespace settings

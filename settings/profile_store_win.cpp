#include <windows.h>

#include "settings/profile_store_win.h"

#include "base/handles_win.h"
#include "settings/layered_read.h"
#include "settings/settings_file_win.h"

namespace settings {

std::shared_ptr<const IniSnapshot> settingsSnapshot(std::wstring_view path) {
    return std::make_shared<const IniSnapshot>(readSettingsFile(path));
}

ProfileStore::ProfileStore(std::wstring path) : ProfileStore(path, settingsSnapshot(path)) {}

ProfileStore::ProfileStore(std::wstring path, std::shared_ptr<const IniSnapshot> content)
    : path_(std::move(path)), content_(std::move(content)) {
    if (!content_) content_ = std::make_shared<const IniSnapshot>();
}

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
    out = content_->valueOf(section, key);
}

void ProfileStore::getSectionNames(std::vector<std::wstring>& out) const {
    out = content_->sectionNames();
}

bool ProfileStore::setString(std::wstring_view section, std::wstring_view key,
                             std::wstring_view value) {
    const std::wstring sectionName(section);
    const std::wstring keyName(key);
    const std::wstring text(value);
    if (!WritePrivateProfileStringW(sectionName.c_str(), keyName.c_str(), text.c_str(),
                                    path_.c_str())) {
        return false;
    }
    content_ = settingsSnapshot(path_);
    return true;
}

bool ProfileStore::remove() {
    if (!DeleteFileW(path_.c_str())) return false;
    content_ = std::make_shared<const IniSnapshot>();
    return true;
}

LayeredStore::LayeredStore(std::wstring path, std::wstring_view baseText)
    : ProfileStore(std::move(path)) {
    loadBase(baseText);
}

LayeredStore::LayeredStore(std::wstring path, std::shared_ptr<const IniSnapshot> content,
                           std::wstring_view baseText)
    : ProfileStore(std::move(path), std::move(content)) {
    loadBase(baseText);
}

void LayeredStore::loadBase(std::wstring_view text) { baseLayer_.parse(text); }

void LayeredStore::getString(std::wstring_view section, std::wstring_view key,
                             std::wstring& out) const {
    layeredRead(
        baseLayer_,
        [this](std::wstring_view fileSection, std::wstring_view fileKey) {
            return content()->valueOf(fileSection, fileKey);
        },
        section, key, out);
}

}  // namespace settings

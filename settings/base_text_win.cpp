#include <windows.h>

#include "settings/base_text_win.h"

#include <cstddef>
#include <span>

#include "settings/base_text.h"

namespace settings {

std::wstring loadBaseSettingsText(std::wstring_view upgradeCode, HMODULE module) {
    // A name starting with "#" would be taken as a numeric resource id.
    if (upgradeCode.empty() || upgradeCode.front() == L'#') return {};
    const std::wstring name(upgradeCode);
    HRSRC resource = FindResourceW(module, name.c_str(), kBaseSettingsResourceType);
    if (resource == nullptr) return {};
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr || size == 0) return {};
    const void* data = LockResource(loaded);
    if (data == nullptr) return {};
    return decodeBaseSettingsText(std::span(static_cast<const std::byte*>(data), size));
}

}  // namespace settings

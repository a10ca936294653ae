#include "settings/text_store.h"

namespace settings {

uint32_t TextStore::probe(std::array<uint8_t, 4>& buffer) {
    buffer.fill(0);
    return 1;
}

void TextStore::getString(std::wstring_view section, std::wstring_view key,
                          std::wstring& out) const {
    if (const std::wstring* value = find(section, key)) out = *value;
}

void TextStore::getSectionNames(std::vector<std::wstring>& out) const {
    out = content_.sectionNames();
}

bool TextStore::setString(std::wstring_view, std::wstring_view, std::wstring_view) { return false; }

bool TextStore::remove() { return false; }

}  // namespace settings

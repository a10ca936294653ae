#include "settings/text_store.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

#include "base/text.h"
#include "settings/split.h"

namespace settings {

namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;

// Control characters and the space frame a section header.
bool isBlankOrControl(wchar_t c) noexcept {
    return static_cast<std::make_unsigned_t<wchar_t>>(c) <= 32;
}

}  // namespace

void TextStore::parse(std::wstring_view text) {
    sections_.clear();
    std::vector<std::wstring> lines;
    splitText(text, L"\r\n", lines);
    if (!lines.empty() && !lines.front().empty() && lines.front().front() == kByteOrderMark) {
        lines.front().erase(0, 1);
    }
    for (const auto& line : lines) parseLine(line);
}

void TextStore::parseLine(std::wstring_view line) {
    if (line.empty()) return;

    size_t begin = 0;
    while (begin < line.size() && isBlankOrControl(line[begin])) ++begin;
    if (begin < line.size() && line[begin] == L'[') {
        size_t end = line.size();
        while (end > begin && isBlankOrControl(line[end - 1])) --end;
        if (line[end - 1] == L']' && end - 1 > begin) {
            sections_.push_back({std::wstring(line.substr(begin + 1, end - begin - 2)), {}});
            return;
        }
    }

    if (sections_.empty()) return;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return;
    sections_.back().entries.push_back(
        {base::trimmed(line.substr(0, equals)), base::trimmed(line.substr(equals + 1))});
}

const std::wstring* TextStore::find(std::wstring_view section, std::wstring_view key) const {
    const auto found = std::find_if(sections_.begin(), sections_.end(),
                                    [&](const Section& s) { return s.name == section; });
    if (found == sections_.end()) return nullptr;
    for (const auto& entry : found->entries) {
        if (entry.key == key) return &entry.value;
    }
    return nullptr;
}

uint32_t TextStore::probe(std::array<uint8_t, 4>& buffer) {
    buffer.fill(0);
    return 1;
}

void TextStore::getString(std::wstring_view section, std::wstring_view key,
                          std::wstring& out) const {
    if (const std::wstring* value = find(section, key)) out = *value;
}

void TextStore::getSectionNames(std::vector<std::wstring>& out) const {
    out.clear();
    for (const auto& section : sections_) out.push_back(section.name);
}

bool TextStore::setString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view value) {
    auto found = std::find_if(sections_.begin(), sections_.end(),
                              [&](const Section& s) { return s.name == section; });
    if (found == sections_.end()) {
        sections_.push_back({std::wstring(section), {}});
        found = std::prev(sections_.end());
    }
    found->entries.push_back({std::wstring(key), std::wstring(value)});
    return true;
}

bool TextStore::remove() { return false; }

}  // namespace settings

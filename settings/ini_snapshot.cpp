#include "settings/ini_snapshot.h"

#include <algorithm>

namespace settings {

namespace {

// The profile API's blanks: tab, line feed, vertical tab, form feed, carriage return, the DOS
// end-of-file mark Ctrl-Z, and space.
bool isBlank(wchar_t c) noexcept { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

bool isLineBreak(wchar_t c) noexcept { return c == L'\r' || c == L'\n'; }

std::wstring_view trimmedBlanks(std::wstring_view text) noexcept {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Names and values are kept as C strings, so a NUL character ends them.
std::wstring_view upToNul(std::wstring_view text) noexcept {
    return text.substr(0, text.find(L'\0'));
}

std::wstring withoutQuotes(std::wstring_view value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::wstring(value.substr(0, kMaxSettingsValueChars));
}

wchar_t asciiLower(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

}  // namespace

bool namesEqual(std::wstring_view a, std::wstring_view b) noexcept {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return asciiLower(x) == asciiLower(y); });
}

IniSnapshot IniSnapshot::parse(std::wstring_view text) {
    IniSnapshot snapshot;
    snapshot.sections_.push_back({});
    size_t position = 0;
    while (position < text.size()) {
        size_t end = position;
        while (end < text.size() && !isLineBreak(text[end])) ++end;
        snapshot.addLine(text.substr(position, end - position));
        position = end;
        while (position < text.size() && isLineBreak(text[position])) ++position;
    }
    return snapshot;
}

void IniSnapshot::addLine(std::wstring_view rawLine) {
    const std::wstring_view line = trimmedBlanks(rawLine);
    if (line.empty()) return;

    if (line.front() == L'[') {
        const size_t closing = line.rfind(L']');
        if (closing != std::wstring_view::npos) {
            const auto name = trimmedBlanks(line.substr(1, closing - 1));
            sections_.push_back({std::wstring(upToNul(name)), {}});
            return;
        }
    }

    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
        sections_.back().entries.push_back({std::wstring(upToNul(line)), {}, false});
        return;
    }
    const auto key = trimmedBlanks(line.substr(0, equals));
    const auto value = trimmedBlanks(line.substr(equals + 1));
    sections_.back().entries.push_back(
        {std::wstring(upToNul(key)), withoutQuotes(upToNul(value)), true});
}

const std::wstring* IniSnapshot::find(std::wstring_view section, std::wstring_view key) const {
    section = trimmedBlanks(section);
    key = trimmedBlanks(key);
    // Only the first section of a name is searched, as the profile API does.
    const auto found = std::find_if(sections_.begin(), sections_.end(),
                                    [&](const Section& s) { return namesEqual(s.name, section); });
    if (found == sections_.end()) return nullptr;
    for (const Entry& entry : found->entries) {
        if (namesEqual(entry.key, key)) return entry.hasValue ? &entry.value : nullptr;
    }
    return nullptr;
}

std::wstring IniSnapshot::valueOf(std::wstring_view section, std::wstring_view key) const {
    const std::wstring* value = find(section, key);
    return value != nullptr ? *value : std::wstring();
}

std::vector<std::wstring> IniSnapshot::sectionNames() const {
    std::vector<std::wstring> names;
    for (const Section& section : sections_) {
        if (!section.name.empty()) names.push_back(section.name);
    }
    return names;
}

DetectedEncoding detectTextEncoding(std::span<const std::byte> bytes) noexcept {
    const auto byteAt = [&](size_t i) { return std::to_integer<unsigned>(bytes[i]); };
    if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF) {
        return {TextEncoding::Utf8, 3};
    }
    if (bytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE) {
        return {TextEncoding::Utf16LittleEndian, 2};
    }
    if (bytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF) {
        return {TextEncoding::Utf16BigEndian, 2};
    }
    return {};
}

std::wstring decodeUtf16(std::span<const std::byte> bytes, bool bigEndian) {
    std::wstring text(bytes.size() / 2, L'\0');
    const size_t high = bigEndian ? 0 : 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned unit = std::to_integer<unsigned>(bytes[2 * i + high]) << 8 |
                              std::to_integer<unsigned>(bytes[2 * i + 1 - high]);
        text[i] = static_cast<wchar_t>(unit);
    }
    return text;
}

}  // namespace settings

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/growing_read.h"

namespace settings {

// A value read through the profile API with its growing buffer ends at kMaxProfileReadChars, so
// a longer value is cut to the characters that fit before the terminator.
inline constexpr size_t kMaxSettingsValueChars = kMaxProfileReadChars - 1;

// INI text parsed once, read as the Windows profile API reads a settings file:
// - lines end at any run of carriage returns and line feeds; blanks (tab to carriage return,
//   Ctrl-Z and space) around a line are ignored;
// - a line starting with "[" that holds a "]" names a section: the text up to the last "]",
//   trimmed; lines before the first such header belong to an unnamed section;
// - any other line is a key: up to the first "=", trimmed, the value after it; a line without
//   "=" is a key without a value, which reads as empty and hides later lines of that key;
// - a value enclosed in matching single or double quotes loses them;
// - a NUL character ends a name or value;
// - sections and keys compare ignoring case, and the first occurrence wins: only the first
//   section of a name is searched, and within it the first line of the key.
// A line starting with ";" is no exception: it is a key whose name starts with ";", which no
// reader asks for.
class IniSnapshot {
  public:
    IniSnapshot() = default;

    [[nodiscard]] static IniSnapshot parse(std::wstring_view text);

    // The value as the profile API returns it; null when the section or key is missing or the
    // key has no value. `section` and `key` are trimmed of blanks first.
    [[nodiscard]] const std::wstring* find(std::wstring_view section, std::wstring_view key) const;

    // The value, or the empty string.
    [[nodiscard]] std::wstring valueOf(std::wstring_view section, std::wstring_view key) const;

    // Every non-empty section name in file order, duplicates included.
    [[nodiscard]] std::vector<std::wstring> sectionNames() const;

  private:
    struct Entry {
        std::wstring key;
        std::wstring value;
        bool hasValue = false;
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
    };

    void addLine(std::wstring_view line);

    std::vector<Section> sections_;
};

// How the bytes of a settings file are to be read, decided as the profile API decides it: a
// UTF-8 byte-order mark, then a UTF-16 one (little- or big-endian), else the ANSI code page.
enum class TextEncoding { Ansi, Utf8, Utf16LittleEndian, Utf16BigEndian };
struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Ansi;
    size_t markerBytes = 0;  // the byte-order mark to skip
};
[[nodiscard]] DetectedEncoding detectTextEncoding(std::span<const std::byte> bytes) noexcept;

// UTF-16 code units from bytes in either order; an odd last byte is ignored.
[[nodiscard]] std::wstring decodeUtf16(std::span<const std::byte> bytes, bool bigEndian);

// Names compare as the profile API compares them: ignoring the case of the ASCII letters only.
[[nodiscard]] bool namesEqual(std::wstring_view a, std::wstring_view b) noexcept;

}  // namespace settings

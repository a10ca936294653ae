#pragma once

#include <string>
#include <string_view>

// Text conversions of the fake JVM. Java strings are held as UTF-16 units (std::u16string);
// files and the record are UTF-8.
namespace fakejvm {

// Standard UTF-8 to UTF-16; malformed bytes become U+FFFD.
[[nodiscard]] std::u16string utf16FromUtf8(std::string_view text);

// UTF-16 to standard UTF-8; an unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::string utf8FromUtf16(std::u16string_view text);

// The JVM's modified UTF-8: U+0000 as C0 80, every surrogate unit encoded on its own.
[[nodiscard]] std::string modifiedUtf8FromUtf16(std::u16string_view text);
[[nodiscard]] std::u16string utf16FromModifiedUtf8(std::string_view text);

// Four lower-case hex digits per UTF-16 unit, no separators.
[[nodiscard]] std::string hexUnits(std::u16string_view text);

// Scenario escapes: \n, \r, \t and \\; any other backslash stays as it is.
[[nodiscard]] std::string unescaped(std::string_view text);

}  // namespace fakejvm

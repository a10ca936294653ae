#pragma once

#include <string>
#include <string_view>

namespace base {

// White space as the C library's wide-character space test classifies it.
[[nodiscard]] bool isWideSpace(wchar_t c) noexcept;

// Removes white space (isWideSpace) at both ends.
[[nodiscard]] std::wstring trimmed(std::wstring_view text);

// Case-insensitive comparison of whole strings, one code unit at a time through towlower.
[[nodiscard]] bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

// Returns text with every `from` replaced by `to`.
[[nodiscard]] std::wstring replacedAll(std::wstring text, wchar_t from, wchar_t to);

}  // namespace base

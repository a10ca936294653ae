#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

// Splits a command line at runs of spaces. A token that starts with a double quote runs to the
// next double quote (spaces kept, quotes dropped); quotes inside other tokens are ordinary
// characters, and there are no escapes. Appends to `out` without clearing it.
void splitCommandLine(std::wstring_view text, std::vector<std::wstring>& out);

// Cuts `text` at every occurrence of `separator`: empty pieces between separators stay, a
// trailing separator adds none. Clears `out` first. An empty separator gives the whole text as
// one piece.
void splitText(std::wstring_view text, std::wstring_view separator, std::vector<std::wstring>& out);

}  // namespace base

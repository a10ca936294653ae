#pragma once

#include <string>
#include <string_view>

namespace base {

struct AnsiOption {
    std::string text;                // the option in the thread's ANSI code page
    std::wstring unrepresentedPath;  // non-empty: an existing path the code page cannot carry
};

// An option string for the JVM in the thread's ANSI code page, with the short form of every
// path in it that the code page cannot represent (withRepresentablePaths). Characters left
// outside the code page become the system's default character.
[[nodiscard]] AnsiOption toThreadAnsiOption(std::wstring_view option);

}  // namespace base

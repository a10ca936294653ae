#pragma once

#include <string>
#include <string_view>

namespace base {

// Conversions through the calling thread's ANSI code page (CP_THREAD_ACP). The entry point
// sets the main thread's locale to the system default, so there this is the system's ANSI
// code page. Characters the code page cannot represent become the system's default character.
[[nodiscard]] std::string toThreadAnsi(std::wstring_view text);
// The same through any code page (a console's output code page, say).
[[nodiscard]] std::string toCodePage(std::wstring_view text, unsigned codePage);
[[nodiscard]] std::wstring fromThreadAnsi(std::string_view text);

}  // namespace base

#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ui {

// One argument of a printf-style message: "%s" takes text, "%d" an integer. Still the plain
// variant underneath (std::get_if and friends work); the extra constructors let error codes
// such as DWORD values be passed as they are, printed as a signed int the way printf's "%d"
// would print them.
struct MessageArg : std::variant<std::wstring_view, int> {
    using variant::variant;
    MessageArg(unsigned int value) noexcept : variant(static_cast<int>(value)) {}
    MessageArg(long value) noexcept : variant(static_cast<int>(value)) {}
    MessageArg(unsigned long value) noexcept : variant(static_cast<int>(value)) {}
};

// Formats a message the way the launcher's error texts are written: "%s" and "%d" consume the
// next argument, "%%" is a percent sign. A directive whose argument is missing or of the other
// kind is written as it stands, so a bad format never reads beyond the arguments.
[[nodiscard]] std::wstring formatMessage(std::wstring_view format,
                                         const std::vector<MessageArg>& args);

}  // namespace ui

#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ui {

// One argument of a printf-style message: "%s" takes text, "%d" an integer.
using MessageArg = std::variant<std::wstring_view, int>;

// Formats a message the way the launcher's error texts are written: "%s" and "%d" consume the
// next argument, "%%" is a percent sign. A directive whose argument is missing or of the other
// kind is written as it stands, so a bad format never reads beyond the arguments.
[[nodiscard]] std::wstring formatMessage(std::wstring_view format,
                                         const std::vector<MessageArg>& args);

}  // namespace ui

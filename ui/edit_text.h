#pragma once

#include <string>
#include <string_view>

namespace ui {

// The text with every line end as CR LF, the only one a multi-line edit control breaks at:
// lone LF (Unix line ends, or a message with embedded LFs inside a CR LF trace) and lone CR
// become CR LF.
[[nodiscard]] std::wstring withWindowsLineEnds(std::wstring_view text);

}  // namespace ui

#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <variant>

#include "ui/message_format.h"

namespace ui {

// A message given either as literal text or as a string-table id of the executable (a value
// below 0x10000). Still the plain variant underneath; the int constructor takes the IDS_*
// macros, which are plain int literals.
struct MessageSource : std::variant<std::wstring_view, UINT> {
    using variant::variant;
    MessageSource(int id) noexcept : variant(static_cast<UINT>(id)) {}
};

// Loads a string-table text of any length; empty when it is missing.
[[nodiscard]] std::wstring loadResourceString(UINT id);

// The text of a message source (a literal, or the string-table text of an id).
[[nodiscard]] std::wstring messageText(MessageSource source);

// The error box every failure of the launcher is shown in: MessageBoxW with the owner (the own
// splash window, or null), the text, the system's default caption and the error icon. The
// format variants fill "%s" and "%d" first. Returns MessageBoxW's result.
// Told the text of every error box before it is shown (the launch log records them); null for
// nobody. Set before any other thread exists.
using MessageObserver = void (*)(std::wstring_view text) noexcept;
void setMessageObserver(MessageObserver observer) noexcept;
void noteShownMessage(std::wstring_view text) noexcept;

int showErrorBox(HWND owner, MessageSource text);
int showErrorBox(HWND owner, MessageSource format, MessageArg arg);
int showErrorBox(HWND owner, MessageSource format, MessageArg first, MessageArg second);

}  // namespace ui

#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "settings/ini_snapshot.h"

namespace settings {

// Reads a settings file once, whole, and parses it as the profile API would. A file that is
// missing, cannot be opened or read, or is too large to be a settings file gives an empty
// snapshot, as the profile API then reads every value as empty.
[[nodiscard]] IniSnapshot readSettingsFile(std::wstring_view path);

// The text of a settings file's bytes, decoded as the profile API decodes them: the byte-order
// mark decides, and without one the bytes are in the ANSI code page.
[[nodiscard]] std::wstring decodeSettingsText(std::span<const std::byte> bytes);

}  // namespace settings

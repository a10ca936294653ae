#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace settings {

// The base settings text the module carries for `upgradeCode` (a "BASESETTINGS" resource of
// that name, matched ignoring case). Empty when the code is empty or there is no such resource.
// `module` null means the executable.
[[nodiscard]] std::wstring loadBaseSettingsText(std::wstring_view upgradeCode,
                                                HMODULE module = nullptr);

}  // namespace settings

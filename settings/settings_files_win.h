#pragma once

#include <string>
#include <string_view>

#include "settings/settings_files.h"

namespace settings {

// The per-user settings file under %APPDATA% (read whole, however long). With `create`, the
// product and product-code folders are created on the way; failures there are ignored, since a
// later write simply fails when a folder is missing.
[[nodiscard]] std::wstring perUserSettingsPath(std::wstring_view executablePath,
                                               std::wstring_view productName,
                                               std::wstring_view productCode, bool create);

// Remembers the JRE folder the user chose as "JRE Path" in every file the rule of
// jrePathWriteBackTargets names. Write failures are not reported: the launch goes on anyway.
void writeBackJrePath(const JrePathWriteBack& request);

}  // namespace settings

#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/text_store.h"

namespace settings {

// Reads one value from the file under a layer (section, key) -> value, empty when missing.
using FileValueReader = std::function<std::wstring(std::wstring_view, std::wstring_view)>;

// The section whose values extend the base values instead of replacing them.
[[nodiscard]] std::wstring extensionSectionName(std::wstring_view section);

// Appends an extension value after one space, unless it begins with a space already.
void appendExtension(std::wstring& value, std::wstring_view extension);

// A value of the base layer overlaid by the file: a non-empty file value replaces the base
// value; otherwise the file's extension section ("<section>+") extends it. The extension
// section is read only when the plain section gives nothing. `out` always ends complete, empty
// when nothing is found.
void layeredRead(const TextStore& baseLayer, const FileValueReader& readFile,
                 std::wstring_view section, std::wstring_view key, std::wstring& out);

}  // namespace settings

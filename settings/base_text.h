#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace settings {

// The base settings text travels as a resource of type "BASESETTINGS" named after the
// product's upgrade code: UTF-16LE INI text, optionally starting with a byte-order mark.
inline constexpr wchar_t kBaseSettingsResourceType[] = L"BASESETTINGS";

// A base text is a few kilobytes; anything beyond this is not one and is ignored.
inline constexpr size_t kMaxBaseSettingsBytes = size_t{16} << 20;

// Decodes the resource data: UTF-16LE units, a leading byte-order mark dropped, an odd last
// byte ignored. Data larger than kMaxBaseSettingsBytes gives the empty text.
[[nodiscard]] std::wstring decodeBaseSettingsText(std::span<const std::byte> data);

}  // namespace settings

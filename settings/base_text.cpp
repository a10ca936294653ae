#include "settings/base_text.h"

namespace settings {

std::wstring decodeBaseSettingsText(std::span<const std::byte> data) {
    if (data.size() > kMaxBaseSettingsBytes) return {};
    std::wstring text;
    text.reserve(data.size() / 2);
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto unit = static_cast<unsigned>(std::to_integer<unsigned>(data[i]) |
                                                (std::to_integer<unsigned>(data[i + 1]) << 8));
        text += static_cast<wchar_t>(unit);
    }
    if (!text.empty() && text.front() == L'\xFEFF') text.erase(0, 1);
    return text;
}

}  // namespace settings

#include "ui/hyperlink.h"

#include <algorithm>
#include <limits>
#include <string>

#include "base/text.h"

namespace ui {
namespace {

// The C library's wcstol on Windows (32-bit long): leading white space and a sign, digits up to
// the first other character, values beyond the range saturate. No digits give 0.
int32_t toSaturatedInt32(std::wstring_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && base::isWideSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - L'0'), kLimit);
    }
    if (negative) return static_cast<int32_t>(-magnitude);
    return static_cast<int32_t>(std::min<int64_t>(magnitude, kLimit - 1));
}

}  // namespace

std::optional<ColorValue> linkColorFromRegistryValue(uint32_t type, std::string_view data) {
    if (type != kRegistryString && type != kRegistryExpandString) return std::nullopt;
    if (data.size() > kLinkColorValueMaxBytes || data.size() % 2 != 0) return std::nullopt;
    std::wstring text;
    for (std::size_t i = 0; i < data.size(); i += 2) {
        const auto low = static_cast<unsigned char>(data[i]);
        const auto high = static_cast<unsigned char>(data[i + 1]);
        text += static_cast<wchar_t>(low | (high << 8));
    }
    if (!text.empty()) {
        if (text.back() != L'\0') return std::nullopt;
        text.resize(text.find(L'\0'));
    }

    const auto firstComma = text.find(L',');
    if (firstComma == std::wstring::npos) return std::nullopt;
    const auto secondComma = text.find(L',', firstComma + 1);
    if (secondComma == std::wstring::npos) return std::nullopt;
    const std::wstring_view all(text);
    const std::wstring_view blueText = all.substr(secondComma + 1);
    if (blueText.empty()) return std::nullopt;

    const int32_t red = toSaturatedInt32(all.substr(0, firstComma));
    const int32_t green =
        toSaturatedInt32(all.substr(firstComma + 1, secondComma - firstComma - 1));
    const int32_t blue = toSaturatedInt32(blueText);
    if (red == -1 || green == -1) return std::nullopt;
    const auto low8 = [](int32_t value) { return static_cast<ColorValue>(value) & 0xFFu; };
    return low8(red) | (low8(green) << 8) | (low8(blue) << 16);
}

TextAlignment textAlignmentOfStaticStyle(uint32_t style) noexcept {
    // SS_CENTER and SS_RIGHT are values of the style's type field, not flags of their own.
    switch (style & 0x1Fu) {
        case 1:
            return TextAlignment::Centre;
        case 2:
            return TextAlignment::Right;
        default:
            return TextAlignment::Left;
    }
}

bool staticStylePaintsText(uint32_t style) noexcept {
    const uint32_t type = style & 0xFFu;
    return !((type >= 3 && type <= 9) || (type >= 13 && type <= 15));
}

LayoutRect alignedLinkRect(const LayoutRect& client, const LayoutRect& measured,
                           TextAlignment alignment) noexcept {
    int shift = 0;
    if (alignment == TextAlignment::Centre) shift = (client.right - measured.right) / 2;
    if (alignment == TextAlignment::Right) shift = client.right - measured.right;
    return {measured.left + shift, measured.top, measured.right + shift, measured.bottom};
}

ColorValue linkTextColor(bool enabled, bool visited, ColorValue link, ColorValue visitedColor,
                         ColorValue grey) noexcept {
    if (!enabled) return grey;
    return visited ? visitedColor : link;
}

}  // namespace ui

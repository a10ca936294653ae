#include "settings/base_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace settings {
namespace {

std::vector<std::byte> utf16le(std::wstring_view text, bool byteOrderMark) {
    std::vector<std::byte> bytes;
    if (byteOrderMark) {
        bytes.push_back(std::byte{0xFF});
        bytes.push_back(std::byte{0xFE});
    }
    for (const wchar_t c : text) {
        const auto unit = static_cast<unsigned>(c);
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>((unit >> 8) & 0xFF));
    }
    return bytes;
}

TEST(BaseText, DecodesWithAndWithoutByteOrderMark) {
    const std::wstring text = L"[A]\r\nk=\x00E9\x4E2D";
    EXPECT_EQ(decodeBaseSettingsText(utf16le(text, false)), text);
    EXPECT_EQ(decodeBaseSettingsText(utf16le(text, true)), text);
}

TEST(BaseText, OddLastByteIgnored) {
    std::vector<std::byte> bytes = utf16le(L"[A]", false);
    bytes.push_back(std::byte{0x41});
    EXPECT_EQ(decodeBaseSettingsText(bytes), L"[A]");
    EXPECT_EQ(decodeBaseSettingsText(std::vector<std::byte>{std::byte{1}}), L"");
    EXPECT_EQ(decodeBaseSettingsText({}), L"");
}

TEST(BaseText, OversizedDataIgnored) {
    const std::vector<std::byte> bytes(kMaxBaseSettingsBytes + 2, std::byte{0x20});
    EXPECT_EQ(decodeBaseSettingsText(bytes), L"");
}

}  // namespace
}  // namespace settings

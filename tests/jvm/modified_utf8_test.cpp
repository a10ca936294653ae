#include "jvm/modified_utf8.h"

#include <ostream>

#include <gtest/gtest.h>

namespace jvm {
namespace {

struct DecodingCase {
    const char* name;
    std::string bytes;
    std::wstring units;  // UTF-16 units, one per wchar_t
};

void PrintTo(const DecodingCase& decodingCase, std::ostream* out) { *out << decodingCase.name; }

class ModifiedUtf8 : public ::testing::TestWithParam<DecodingCase> {};

TEST_P(ModifiedUtf8, DecodesToUtf16Units) {
    EXPECT_EQ(decodeModifiedUtf8(GetParam().bytes), GetParam().units);
}

const wchar_t replacement = 0xFFFD;

INSTANTIATE_TEST_SUITE_P(
    Cases, ModifiedUtf8,
    ::testing::Values(
        DecodingCase{"Empty", "", L""},
        DecodingCase{"Ascii", "java.lang.Error: x\r\n", L"java.lang.Error: x\r\n"},
        DecodingCase{"TwoBytes", "\xC3\xA4\xC3\xB6", L"\u00e4\u00f6"},
        DecodingCase{"ThreeBytes", "\xE2\x82\xAC\xE4\xB8\xAD", L"\u20ac\u4e2d"},
        DecodingCase{"EncodedNul",
                     std::string("a\xC0\x80"
                                 "b"),
                     std::wstring(L"a\0b", 3)},
        // Characters outside the BMP come as two encoded surrogates and stay two units.
        DecodingCase{"SurrogatePair", "\xED\xA0\xBD\xED\xB8\x80",
                     std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
        DecodingCase{"LoneSurrogate", "x\xED\xA0\x80y", std::wstring{L'x', wchar_t(0xD800), L'y'}},
        DecodingCase{"StandardFourBytes", "\xF0\x9F\x98\x80",
                     std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
        DecodingCase{"StrayContinuation",
                     "a\x80"
                     "b",
                     std::wstring{L'a', replacement, L'b'}},
        DecodingCase{"InvalidLead", "\xFF\xFE", std::wstring{replacement, replacement}},
        DecodingCase{"TruncatedAtEnd", "a\xE2\x82", std::wstring{L'a', replacement}},
        DecodingCase{"TruncatedBeforeAscii",
                     "\xE2\x82"
                     "z",
                     std::wstring{replacement, L'z'}},
        DecodingCase{"OverlongSlash", "\xC0\xAF", std::wstring{replacement}},
        DecodingCase{"OverlongThreeBytes", "\xE0\x80\xAF", std::wstring{replacement}},
        DecodingCase{"BeyondUnicode", "\xF4\x90\x80\x80", std::wstring{replacement}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModifiedUtf8Robustness, EveryByteValueDecodesWithoutGrowingBeyondInput) {
    std::string all;
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<char>(value));
    const std::wstring units = decodeModifiedUtf8(all);
    EXPECT_LE(units.size(), all.size());
    EXPECT_EQ(units.substr(0, 128).size(), 128U);
    for (wchar_t unit : units.substr(0, 128)) EXPECT_LT(static_cast<unsigned>(unit), 128U);
}

}  // namespace
}  // namespace jvm

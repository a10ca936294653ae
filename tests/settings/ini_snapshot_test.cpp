#include "settings/ini_snapshot.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "settings/text_store.h"

namespace settings {
namespace {

std::optional<std::wstring> lookup(std::wstring_view text, std::wstring_view section,
                                   std::wstring_view key) {
    const IniSnapshot snapshot = IniSnapshot::parse(text);
    const std::wstring* value = snapshot.find(section, key);
    return value ? std::optional<std::wstring>(*value) : std::nullopt;
}

struct LookupCase {
    const char* name;
    std::wstring text;
    std::wstring section;
    std::wstring key;
    std::optional<std::wstring> expected;
};

std::ostream& operator<<(std::ostream& os, const LookupCase& c) { return os << c.name; }

class IniSnapshotLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(IniSnapshotLookupTest, FindsValue) {
    const auto& c = GetParam();
    EXPECT_EQ(lookup(c.text, c.section, c.key), c.expected);
}

// The rules the profile API follows; the differential test under Wine holds them to it.
INSTANTIATE_TEST_SUITE_P(
    Cases, IniSnapshotLookupTest,
    ::testing::Values(
        LookupCase{"plain", L"[A]\r\nk=v\r\n", L"A", L"k", L"v"},
        LookupCase{"key and value trimmed", L"[A]\r\n \t k \x0B= \x1A v \f\r\n", L"A", L"k", L"v"},
        LookupCase{"no-break space is no blank", L"[A]\r\nk=\xA0v\xA0", L"A", L"k", L"\xA0v\xA0"},
        LookupCase{"value keeps later equals", L"[A]\r\nk = a=b", L"A", L"k", L"a=b"},
        LookupCase{"lone line feeds end lines", L"[A]\nk=v\nj=w", L"A", L"j", L"w"},
        LookupCase{"lone carriage returns end lines", L"[A]\rk=v\rj=w", L"A", L"k", L"v"},
        LookupCase{"sections ignore case", L"[Alpha]\r\nk=v", L"ALPHA", L"k", L"v"},
        LookupCase{"keys ignore case", L"[A]\r\nMain Class=v", L"A", L"main class", L"v"},
        LookupCase{"only ASCII letters fold", L"[A]\r\n\xC4=v", L"A", L"\xE4", std::nullopt},
        LookupCase{"query trimmed", L"[A]\r\nk=v", L" A\t", L" k ", L"v"},
        LookupCase{"first duplicate key wins", L"[A]\r\nk=1\r\nK=2", L"A", L"k", L"1"},
        LookupCase{"only first section of a name searched", L"[A]\r\nx=1\r\n[a]\r\nk=2", L"A", L"k",
                   std::nullopt},
        LookupCase{"key without equals hides later lines", L"[A]\r\nk\r\nk=v", L"A", L"k",
                   std::nullopt},
        LookupCase{"lines before any header are unnamed", L"k=v\r\n[A]", L"", L"k", L"v"},
        LookupCase{"header name trimmed", L"[ A ]\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"header up to the last bracket", L"[a]b] tail\r\nk=v", L"a]b", L"k", L"v"},
        LookupCase{"unclosed bracket line is a key", L"[A]\r\n[x=y", L"A", L"[x", L"y"},
        LookupCase{"semicolon line is a key", L"[A]\r\n;k=v", L"A", L";k", L"v"},
        LookupCase{"double quotes removed", L"[A]\r\nk=\" v \"", L"A", L"k", L" v "},
        LookupCase{"single quotes removed", L"[A]\r\nk='v'", L"A", L"k", L"v"},
        LookupCase{"mismatched quotes kept", L"[A]\r\nk=\"v'", L"A", L"k", L"\"v'"},
        LookupCase{"lone quote kept", L"[A]\r\nk=\"", L"A", L"k", L"\""},
        LookupCase{"empty quotes give empty", L"[A]\r\nk=\"\"", L"A", L"k", L""},
        LookupCase{"NUL ends a value", std::wstring(L"[A]\r\nk=a\0b", 10), L"A", L"k", L"a"},
        LookupCase{"NUL ends a key", std::wstring(L"[A]\r\nk\0x=v", 10), L"A", L"k", L"v"},
        LookupCase{"NUL before closing quote", std::wstring(L"[A]\r\nk=\"a\0\"", 11), L"A", L"k",
                   L"\"a"}));

TEST(IniSnapshot, ValuesBeyondTheLimitAreCut) {
    std::wstring text = L"[A]\r\nk=";
    text.append(kMaxSettingsValueChars + 5, L'x');
    text += L"\r\nj=after";
    const IniSnapshot snapshot = IniSnapshot::parse(text);
    EXPECT_EQ(snapshot.valueOf(L"A", L"k").size(), kMaxSettingsValueChars);
    EXPECT_EQ(snapshot.valueOf(L"A", L"j"), L"after");
}

TEST(IniSnapshot, SectionNamesSkipTheUnnamed) {
    const IniSnapshot snapshot = IniSnapshot::parse(L"k=v\r\n[B]\r\n[]\r\n[A]\r\n[b]");
    EXPECT_EQ(snapshot.sectionNames(), (std::vector<std::wstring>{L"B", L"A", L"b"}));
    EXPECT_TRUE(IniSnapshot::parse(L"").sectionNames().empty());
}

TEST(IniSnapshot, DetectsEncodingByMark) {
    const auto detect = [](std::initializer_list<unsigned char> bytes) {
        std::vector<std::byte> data;
        for (unsigned char b : bytes) data.push_back(std::byte{b});
        const DetectedEncoding detected = detectTextEncoding(data);
        return std::pair(detected.encoding, detected.markerBytes);
    };
    EXPECT_EQ(detect({0xEF, 0xBB, 0xBF, 'a'}), std::pair(TextEncoding::Utf8, size_t{3}));
    EXPECT_EQ(detect({0xFF, 0xFE}), std::pair(TextEncoding::Utf16LittleEndian, size_t{2}));
    EXPECT_EQ(detect({0xFE, 0xFF, 0}), std::pair(TextEncoding::Utf16BigEndian, size_t{2}));
    EXPECT_EQ(detect({0xEF, 0xBB}), std::pair(TextEncoding::Ansi, size_t{0}));
    EXPECT_EQ(detect({0xFF}), std::pair(TextEncoding::Ansi, size_t{0}));
    EXPECT_EQ(detect({}), std::pair(TextEncoding::Ansi, size_t{0}));
}

TEST(IniSnapshot, DecodesUtf16EitherWayDroppingAnOddByte) {
    const std::vector<std::byte> bytes{std::byte{0x41}, std::byte{0x04}, std::byte{0x7A}};
    EXPECT_EQ(decodeUtf16(bytes, false), L"\x0441");
    EXPECT_EQ(decodeUtf16(bytes, true), L"\x4104");
}

TEST(TextStore, ReadsLikeASnapshotAndLeavesOutUnchangedWhenMissing) {
    TextStore store;
    store.parse(L"[A]\r\nK=v");
    std::wstring out = L"before";
    store.getString(L"A", L"missing", out);
    EXPECT_EQ(out, L"before");
    store.getString(L"a", L"k", out);
    EXPECT_EQ(out, L"v");
    EXPECT_FALSE(store.setString(L"A", L"k", L"w"));
    std::array<uint8_t, 4> buffer{1, 2, 3, 4};
    EXPECT_EQ(store.probe(buffer), 1u);
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_FALSE(store.remove());
}

}  // namespace
}  // namespace settings

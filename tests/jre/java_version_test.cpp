#include "jre/java_version.h"

#include <gtest/gtest.h>

namespace jre {
namespace {

JavaVersion v(int32_t a, int32_t b, int32_t c, int32_t d) { return JavaVersion{{a, b, c, d}}; }

struct ParseCase {
    const wchar_t* text;
    int32_t fill;
    bool ok;
    JavaVersion expected;
};

TEST(ParseVersion, ReadsDigitRunsAsComponents) {
    const ParseCase cases[] = {
        {L"1.8.0_151", 0, true, v(1, 8, 0, 151)},
        {L"jdk1.6", 0, true, v(1, 6, 0, 0)},
        {L"1.6", 65535, true, v(1, 6, 65535, 65535)},
        {L"1.2.3.4.5", 0, true, v(1, 2, 3, 4)},
        {L"11", 0, true, v(11, 0, 0, 0)},
        {L"  11.0.2+9 ", 7, true, v(11, 0, 2, 9)},
        {L"1..8", 0, true, v(1, 8, 0, 0)},
        {L"007.08", 0, true, v(7, 8, 0, 0)},
        {L"1.8-", 5, true, v(1, 8, 5, 5)},
        {L"2147483647", 0, true, v(2147483647, 0, 0, 0)},
        {L"0000000000002147483647", 0, true, v(2147483647, 0, 0, 0)},
        // A fifth number is never read, so it cannot overflow.
        {L"1.2.3.4.99999999999", 0, true, v(1, 2, 3, 4)},
        {L"", 0, false, v(0, 0, 0, 0)},
        {L"any", 65535, false, v(0, 0, 0, 0)},
        {L"Any", 0, false, v(0, 0, 0, 0)},
        {L"\x0661.\x0662", 0, false, v(0, 0, 0, 0)},  // only ASCII digits count
        {L"12345678901", 0, false, v(0, 0, 0, 0)},
        {L"1.2147483648", 0, false, v(0, 0, 0, 0)},
        {L"1.8.2147483649", 0, false, v(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        JavaVersion out = v(9, 9, 9, 9);
        EXPECT_EQ(parseVersion(c.text, c.fill, out), c.ok) << testing::PrintToString(c.text);
        EXPECT_EQ(out, c.expected) << testing::PrintToString(c.text);
    }
}

TEST(FormatVersion, HidesTrailingFillButShowsTwoComponents) {
    const std::pair<JavaVersion, const wchar_t*> cases[] = {
        {v(1, 8, 0, 151), L"1.8.0.151"},
        {v(1, 8, 0, 0), L"1.8"},
        {v(1, 0, 0, 0), L"1.0"},
        {v(1, 65535, 65535, 65535), L"1.65535"},
        {v(1, 6, 65535, 65535), L"1.6"},
        {v(0, 0, 0, 0), L"0.0.0.0"},
        {v(65535, 65535, 65535, 65535), L"0.0.0.0"},
        {v(0, 0, 0, 3), L"0.0.0.3"},
        {v(11, 0, 2, 0), L"11.0.2"},
        {v(-1, 2, 0, 0), L"-1.2"},
    };
    for (const auto& [version, text] : cases) EXPECT_EQ(formatVersion(version), text);
}

TEST(CompareVersions, FirstDifferenceDecidesAsSigned) {
    EXPECT_EQ(compareVersions(v(1, 8, 0, 151), v(1, 8, 0, 151)), 0);
    EXPECT_LT(compareVersions(v(1, 8, 0, 151), v(11, 0, 2, 0)), 0);
    EXPECT_GT(compareVersions(v(1, 8, 1, 0), v(1, 8, 0, 999)), 0);
    EXPECT_LT(compareVersions(v(-1, 0, 0, 0), v(0, 0, 0, 0)), 0);
    EXPECT_GT(compareVersions(v(1, 0, 0, 2147483647), v(1, 0, 0, 0)), 0);
}

TEST(VersionBounds, FromSettingTexts) {
    const JavaVersion open = v(65535, 65535, 65535, 65535);
    EXPECT_EQ(minimumVersionFromSetting(L"any"), v(0, 0, 0, 0));
    EXPECT_EQ(maximumVersionFromSetting(L"any"), open);
    EXPECT_EQ(minimumVersionFromSetting(L"1.6"), v(1, 6, 0, 0));
    EXPECT_EQ(maximumVersionFromSetting(L"1.6"), v(1, 6, 65535, 65535));
    // Only the exact keyword is open: other spellings have no digit and give 0.0.0.0.
    EXPECT_EQ(maximumVersionFromSetting(L"Any"), v(0, 0, 0, 0));
    EXPECT_EQ(maximumVersionFromSetting(L""), v(0, 0, 0, 0));
    EXPECT_EQ(minimumVersionFromSetting(L"ANY"), v(0, 0, 0, 0));
    EXPECT_EQ(maximumVersionFromSetting(L"99999999999"), v(0, 0, 0, 0));
}

TEST(VersionBounds, BothInclusive) {
    const JavaVersion min16 = minimumVersionFromSetting(L"1.6");
    const JavaVersion max16 = maximumVersionFromSetting(L"1.6");
    EXPECT_TRUE(isWithinBounds(v(1, 6, 0, 45), min16, max16));
    EXPECT_TRUE(isWithinBounds(v(1, 6, 0, 0), min16, max16));
    EXPECT_FALSE(isWithinBounds(v(1, 7, 0, 0), min16, max16));
    EXPECT_FALSE(isWithinBounds(v(1, 5, 0, 22), min16, max16));
    EXPECT_TRUE(isWithinBounds(v(1, 6, 65535, 65535), min16, max16));
    const JavaVersion anyMin = minimumVersionFromSetting(L"any");
    EXPECT_TRUE(isWithinBounds(v(0, 0, 0, 0), anyMin, maximumVersionFromSetting(L"any")));
    EXPECT_TRUE(isWithinBounds(v(21, 0, 1, 0), anyMin, maximumVersionFromSetting(L"any")));
    EXPECT_FALSE(isWithinBounds(v(1, 8, 0, 0), anyMin, maximumVersionFromSetting(L"Any")));
    EXPECT_TRUE(isWithinBounds(v(0, 0, 0, 0), anyMin, maximumVersionFromSetting(L"")));
}

TEST(PreferredVersion, MatchesUpToLastNonZeroComponent) {
    struct Case {
        JavaVersion preferred;
        JavaVersion candidate;
        bool matches;
    };
    const Case cases[] = {
        {v(1, 8, 0, 0), v(1, 8, 0, 151), true},   {v(1, 8, 0, 0), v(1, 8, 0, 20), true},
        {v(1, 8, 0, 0), v(1, 7, 0, 80), false},   {v(1, 8, 0, 20), v(1, 8, 0, 20), true},
        {v(1, 8, 0, 20), v(1, 8, 0, 151), false}, {v(1, 0, 0, 0), v(1, 6, 0, 0), true},
        {v(1, 0, 0, 0), v(11, 0, 0, 0), false},   {v(0, 0, 0, 0), v(11, 0, 2, 0), true},
        {v(0, 8, 0, 0), v(1, 8, 0, 0), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesPreferredVersion(c.preferred, c.candidate), c.matches)
            << formatVersion(c.preferred) << " vs " << formatVersion(c.candidate);
    }
}

TEST(IsOpenBound, OnlyAllZeroOrAll65535) {
    EXPECT_TRUE(isOpenBound(v(0, 0, 0, 0)));
    EXPECT_TRUE(isOpenBound(v(65535, 65535, 65535, 65535)));
    EXPECT_FALSE(isOpenBound(v(0, 65535, 0, 0)));  // mixing the two is a real bound
    EXPECT_FALSE(isOpenBound(v(1, 8, 0, 0)));
}

}  // namespace
}  // namespace jre

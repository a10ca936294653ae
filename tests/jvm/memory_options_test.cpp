#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jvm/memory_options.h"

namespace {

constexpr uint64_t kOneGigabyte = 1073741824u;

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(IsPercentMemoryOption, NeedsTheOptionNameAndAUnitLetter) {
    const std::vector<std::pair<std::wstring, bool>> cases = {
        {L"-Xmx50P", true},  {L"-Xmx50p", true},  {L"-Xms10:512T", true}, {L"-Xss5t", true},
        {L"-XmxP", true},    {L"-xmx50P", false}, {L"-Xmx50%", false},    {L"-Xmx512m", false},
        {L"-Xmn50P", false}, {L"-Xm", false},     {L"P", false},          {L"", false},
    };
    for (const auto& [token, expected] : cases) {
        EXPECT_EQ(jvm::isPercentMemoryOption(token), expected) << narrow(token);
    }
}

TEST(ParseNumberList, SplitsPrefixAndNumbers) {
    struct Case {
        std::wstring text;
        size_t prefixLength;
        std::vector<uint32_t> numbers;
    };
    const std::vector<Case> cases = {
        {L"-Xmx50P", 4, {50}},
        {L"-Xmx50:256:1024P", 4, {50, 256, 1024}},
        {L"-Xmx:50P", 4, {0, 50}},
        {L"-Xmx=50P", 5, {50}},  // other text before the first digit joins the prefix
        {L"-Xmx5a0P", 4, {50}},  // stray characters are skipped
        {L"-Xmx50::P", 4, {50, 0, 0}},
        {L"-XmxP", 5, {}},
        {L"-Xmx4294967296P", 4, {0}},  // numbers wrap at 32 bits
        {L"-Xmx4294967297P", 4, {1}},
    };
    for (const auto& c : cases) {
        const auto parsed = jvm::parseNumberList(c.text);
        EXPECT_EQ(parsed.prefixLength, c.prefixLength) << narrow(c.text);
        EXPECT_EQ(parsed.numbers, c.numbers) << narrow(c.text);
    }
}

TEST(RewritePercentMemoryOption, GivesKilobytesOfTheChosenMemory) {
    struct Case {
        std::wstring token;
        jvm::MemoryFigures figures;
        std::wstring expected;
    };
    const jvm::MemoryFigures twoGb{2 * kOneGigabyte, kOneGigabyte};
    const jvm::MemoryFigures oneGb{kOneGigabyte, 2 * kOneGigabyte};
    const std::vector<Case> cases = {
        {L"-Xmx50P", twoGb, L"-Xmx1048576K"},
        {L"-Xmx50p", twoGb, L"-Xmx1048576K"},
        {L"-Xmx50:256:1024P", twoGb, L"-Xmx1048576K"},  // the upper bound equals the share
        {L"-Xms10:512P", oneGb, L"-Xms524288K"},        // 104857 KB raised to the lower bound
        {L"-Xms10P", oneGb, L"-Xms104857K"},            // truncated, not rounded
        {L"-Xmx80:0:512T", oneGb, L"-Xmx524288K"},      // 80 % of 2 GB virtual, capped
        {L"-Xmx80T", oneGb, L"-Xmx1677721K"},
        {L"-Xmx50:2048:1024P", twoGb, L"-Xmx2097152K"},  // the lower bound wins a conflict
        {L"-Xmx:100P", twoGb, L"-Xmx102400K"},           // share 0, lower bound 100 MB
        {L"-Xmx=50P", twoGb, L"-Xmx=1048576K"},
        {L"-XmxP", twoGb, L"-XmxP0K"},
        {L"-Xmx0P", {}, L"-Xmx0K"},
    };
    for (const auto& c : cases) {
        std::wstring token = c.token;
        jvm::rewritePercentMemoryOption(token, c.figures);
        EXPECT_EQ(token, c.expected) << narrow(c.token);
    }
}

TEST(RewritePercentMemoryOption, HugeFiguresNeitherWrapNorCrash) {
    const jvm::MemoryFigures huge{UINT64_MAX, UINT64_MAX};
    std::wstring token = L"-Xmx4294967295P";
    jvm::rewritePercentMemoryOption(token, huge);
    EXPECT_EQ(token, L"-Xmx18446744073709551615K");

    // A lower bound beyond 4 TB would wrap to a tiny figure in 32 bits.
    token = L"-Xmx1:4194304P";
    jvm::rewritePercentMemoryOption(token, {kOneGigabyte, 0});
    EXPECT_EQ(token, L"-Xmx4294967296K");

    // A share far beyond 100 % of 2 GB exceeds 32 bits of kilobytes and is written whole.
    token = L"-Xmx4294967295P";
    jvm::rewritePercentMemoryOption(token, {2 * kOneGigabyte, 0});
    EXPECT_EQ(token, L"-Xmx90071992526438K");

    token = L"-Xmx" + std::wstring(100000, L':') + L"P";
    jvm::rewritePercentMemoryOption(token, {2 * kOneGigabyte, 0});
    EXPECT_EQ(token, L"-Xmx0K");
}

TEST(StackSizeFromOption, ReadsTheSizeWithItsUnit) {
    const std::vector<std::pair<std::wstring, uint32_t>> cases = {
        {L"-Xss512k", 524288u},
        {L"-Xss512K", 524288u},
        {L"-Xss1m", 1048576u},
        {L"-Xss2M", 2097152u},
        {L"-Xss1g", 1073741824u},
        {L"-Xss1048576", 1048576u},
        {L"-Xss1x0k", 10240u},  // other characters are skipped
        {L"-Xss1:", 1u},        // a colon at the very end is allowed
        {L"-Xss1k:", 1u},
        {L"-Xss", 0u},
        {L"-Xssx1k", 0u},
        {L"-Xss1:2k", 0u},
        {L"-Xss4G", 0u},  // 32-bit arithmetic wraps
        {L"-Xss5g", 1073741824u},
        {L"-Xss99999999999", 1215752191u},
        {L"-Xs", 0u},
    };
    for (const auto& [token, expected] : cases) {
        EXPECT_EQ(jvm::stackSizeFromOption(token), expected) << narrow(token);
    }
}

}  // namespace

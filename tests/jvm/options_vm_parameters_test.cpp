#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jvm/vm_parameters.h"

namespace {

struct EndCase {
    std::wstring text;
    size_t start;
    size_t expected;
};

TEST(NextParameterEnd, FindsTheEndOfTheTokenAtStart) {
    const std::vector<EndCase> cases = {
        {L"-ea", 0, 3},
        {L"-ea -server", 0, 3},
        {L"-ea -server", 4, 11},
        {L"-Dp=\"a b\" -ea", 0, 9},
        {L"-Dp=\"a b\"", 0, 9},
        {L"\"a b\"x\"c d\" y", 0, 11},     // a closing quote followed by another stretch
        {L"\"a b\"\"c d\" x", 0, 7},       // a doubled quote closes the stretch
        {L"-Dp=\"unterminated x", 0, 17},  // an open quote ends at the next space
        {L"-Dp=\"unterminated", 0, 17},    // ... or at the end
        {L"-Dp=\"a\"\" b\" c", 0, 8},
        {L"x \"a b\"", 0, 1},  // the space comes before the quote
        {L"-Da=\tb c", 0, 6},  // tabs are ordinary characters
        {L"abc", 7, 3},        // a start beyond the end
        {L"", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jvm::nextParameterEnd(c.text, c.start), c.expected)
            << "text '" << std::string(c.text.begin(), c.text.end()) << "' from " << c.start;
    }
}

TEST(RemoveQuotes, KeepsTheTextBetweenQuotes) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"-Dp=\"a b\"", L"-Dp=a b"},
        {L"\"-Dp=a b\"", L"-Dp=a b"},
        {L"-Dp=\"a\"-\"b\"", L"-Dp=a-b"},
        {L"-Dp=\"a\"\"", L"-Dp=a\""},  // a doubled closing quote leaves one quote
        {L"-Dp=\"", L"-Dp=\""},        // a quote as the last character stays
        {L"-Dp=\"abc", L"-Dp=\"abc"},  // so does an unterminated one
        {L"\"\"", L""},
        {L"plain", L"plain"},
        {L"\"a\"\"\"b\"", L"a\"b"},  // scanning resumes after the inserted text
    };
    for (const auto& [input, expected] : cases) {
        std::wstring token = input;
        jvm::removeQuotes(token);
        EXPECT_EQ(token, expected) << std::string(input.begin(), input.end());
    }
}

TEST(SplitVmParameters, SeparatesAtRunsOfSpacesOnly) {
    using Tokens = std::vector<std::wstring>;
    const std::vector<std::pair<std::wstring, Tokens>> cases = {
        {L"-Xmx256m  -Dp=\"a b\" -ea", {L"-Xmx256m", L"-Dp=\"a b\"", L"-ea"}},
        {L" -ea", {L"-ea"}},  // a "+" section's value starts with a space
        {L"-ea   ", {L"-ea"}},
        {L"   ", {}},
        {L"", {}},
        {L"-Da=1\t-Db=2", {L"-Da=1\t-Db=2"}},
        {L"-Dp=\"x", {L"-Dp=\"x"}},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(jvm::splitVmParameters(value), expected)
            << std::string(value.begin(), value.end());
    }
}

class AddVmParameter : public testing::Test {
  protected:
    void add(const std::wstring& token) { jvm::addVmParameter(token, memory, options, stackSize); }

    int memoryQueries = 0;
    jvm::MemoryFiguresSource memory = [this] {
        ++memoryQueries;
        return jvm::MemoryFigures{2147483648u, 1073741824u};
    };
    std::vector<std::wstring> options;
    uint32_t stackSize = 0;
};

TEST_F(AddVmParameter, AppendsEveryTokenInOrderUnquoted) {
    for (const auto& token : jvm::splitVmParameters(L"-Xmx256m  -Dp=\"a b\" -ea -ea")) add(token);
    EXPECT_EQ(options, (std::vector<std::wstring>{L"-Xmx256m", L"-Dp=a b", L"-ea", L"-ea"}));
    EXPECT_EQ(memoryQueries, 0);
    EXPECT_EQ(stackSize, 0u);
}

TEST_F(AddVmParameter, RewritesPercentOptionsFromTheMachinesMemory) {
    add(L"-Xmx50P");
    add(L"\"-Xms10:512T\"");
    EXPECT_EQ(options, (std::vector<std::wstring>{L"-Xmx1048576K", L"-Xms524288K"}));
    EXPECT_EQ(memoryQueries, 2);
}

TEST_F(AddVmParameter, TheLastStackSizeWins) {
    add(L"-Xss1m");
    EXPECT_EQ(stackSize, 1048576u);
    add(L"-Xss512k");
    EXPECT_EQ(stackSize, 524288u);
    add(L"-Xssx1k");
    EXPECT_EQ(stackSize, 0u);
    EXPECT_EQ(options.back(), L"-Xssx1k");
}

TEST_F(AddVmParameter, APercentStackSizeIsRewrittenBeforeItIsRead) {
    add(L"-Xss1T");  // 1 % of 1 GB virtual: 10485 KB
    EXPECT_EQ(options.back(), L"-Xss10485K");
    EXPECT_EQ(stackSize, 10485u * 1024u);
}

TEST_F(AddVmParameter, StackSizeNeedsTheExactOptionName) {
    add(L"-xss1m");
    add(L"-XSS1m");
    EXPECT_EQ(stackSize, 0u);
    EXPECT_EQ(options.size(), 2u);
}

}  // namespace

// Values of a megabyte must not take quadratic time (the test's time-out would catch that).
TEST(VmParameterText, HugeValuesAreHandledInLinearTime) {
    constexpr size_t kSize = size_t{1} << 20;
    const std::vector<std::wstring> patterns = {L"\"", L"a ", L"\"a\"", L"\" ", L"\"\"a"};
    for (const auto& pattern : patterns) {
        std::wstring value;
        while (value.size() < kSize) value += pattern;
        value += L" -ea";
        std::vector<std::wstring> options;
        uint32_t stackSize = 0;
        const jvm::MemoryFiguresSource memory = [] { return jvm::MemoryFigures{}; };
        for (auto& token : jvm::splitVmParameters(value)) {
            jvm::addVmParameter(std::move(token), memory, options, stackSize);
        }
        ASSERT_FALSE(options.empty());
    }
}

// The token rules written out step by step, without the shortcuts that keep the product code
// linear; the two must agree on every short text.
size_t referenceParameterEnd(std::wstring_view text, size_t start) {
    constexpr auto none = std::wstring_view::npos;
    size_t s = text.find(L' ', start);
    size_t q = text.find(L'"', start);
    if (q == none) return s == none ? text.size() : s;
    while (q != none) {
        if (s == none) return text.size();
        if (s < q) return s;
        size_t c = text.find(L'"', q + 1);
        if (c == none) return s;
        if (c + 1 < text.size() && text[c + 1] == L'"') ++c;
        q = text.find(L'"', c + 1);
        s = text.find(L' ', c + 1);
    }
    return s == none ? text.size() : s;
}

std::wstring referenceRemoveQuotes(std::wstring token) {
    size_t position = 0;
    while (position < token.size()) {
        const size_t o = token.find(L'"', position);
        if (o == std::wstring::npos || o + 1 == token.size()) break;
        size_t c = token.find(L'"', o + 1);
        if (c == std::wstring::npos) break;
        if (c + 1 < token.size() && token[c + 1] == L'"') ++c;
        const std::wstring inner = token.substr(o + 1, c - o - 1);
        token.replace(o, c - o + 1, inner);
        position = o + inner.size();
    }
    return token;
}

TEST(VmParameterText, AgreesWithTheStepByStepRulesOnAllShortTexts) {
    constexpr wchar_t kAlphabet[] = {L'"', L' ', L'a'};
    for (size_t length = 0; length <= 8; ++length) {
        size_t combinations = 1;
        for (size_t i = 0; i < length; ++i) combinations *= 3;
        for (size_t n = 0; n < combinations; ++n) {
            std::wstring text;
            for (size_t i = 0, rest = n; i < length; ++i, rest /= 3) text += kAlphabet[rest % 3];
            for (size_t start = 0; start <= length; ++start) {
                ASSERT_EQ(jvm::nextParameterEnd(text, start), referenceParameterEnd(text, start))
                    << std::string(text.begin(), text.end()) << " from " << start;
            }
            std::wstring token = text;
            jvm::removeQuotes(token);
            ASSERT_EQ(token, referenceRemoveQuotes(text)) << std::string(text.begin(), text.end());
        }
    }
}

#include "base/split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace base {
namespace {

using Tokens = std::vector<std::wstring>;

struct SplitCase {
    const wchar_t* name;
    std::wstring text;
    Tokens expected;
};

std::ostream& operator<<(std::ostream& os, const SplitCase& c) {
    std::string narrow;
    for (const wchar_t ch : std::wstring(c.name)) narrow += static_cast<char>(ch);
    return os << narrow;
}

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, Splits) {
    Tokens tokens;
    splitCommandLine(GetParam().text, tokens);
    EXPECT_EQ(tokens, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{L"empty", L"", {}}, SplitCase{L"single", L"app.exe", {L"app.exe"}},
        SplitCase{L"quoted path and quoted words",
                  L"\"C:\\Program Files\\app.exe\" -nosplash \"two words\"",
                  {L"C:\\Program Files\\app.exe", L"-nosplash", L"two words"}},
        SplitCase{L"run of spaces separates once", L"app a   b", {L"app", L"a", L"b"}},
        SplitCase{
            L"unterminated quote", L"app \"unterminated text", {L"app", L"unterminated text"}},
        SplitCase{L"no escapes", L"app a\\\"b", {L"app", L"a\\\"b"}},
        SplitCase{L"empty quoted", L"app \"\"", {L"app", L""}},
        SplitCase{L"lone trailing quote", L"app \"", {L"app", L""}},
        SplitCase{L"tab is ordinary", L"app a\tb", {L"app", L"a\tb"}},
        SplitCase{L"leading space gives empty token", L" a", {L"", L"a"}},
        SplitCase{L"trailing spaces add nothing", L"a   ", {L"a"}},
        SplitCase{L"closing quote ends token", L"\"ab\"cd e", {L"ab", L"cd", L"e"}},
        SplitCase{L"quote inside token stays", L"a\"b c\"", {L"a\"b", L"c\""}},
        SplitCase{L"only a quote", L"\"", {L""}}, SplitCase{L"only spaces", L"   ", {L""}},
        SplitCase{L"quoted then end", L"\"a b\"", {L"a b"}},
        SplitCase{L"quoted then spaces", L"\"a\"   ", {L"a"}}));

TEST(SplitCommandLine, AppendsWithoutClearing) {
    Tokens tokens{L"kept"};
    splitCommandLine(L"x y", tokens);
    EXPECT_EQ(tokens, (Tokens{L"kept", L"x", L"y"}));
}

TEST(SplitCommandLine, LongestCommandLine) {
    // 32,767 characters is the most a Windows command line holds.
    std::wstring text;
    while (text.size() < 32767) text += L"ab \"c d\" ";
    text.resize(32767);
    Tokens tokens;
    splitCommandLine(text, tokens);
    ASSERT_FALSE(tokens.empty());
    EXPECT_EQ(tokens.front(), L"ab");
    std::wstring quotes(32767, L'"');
    tokens.clear();
    splitCommandLine(quotes, tokens);
    EXPECT_EQ(tokens.size(), 32767u / 2 + 1);
}

class SplitTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, SplitsAtSemicolon) {
    Tokens pieces{L"cleared"};
    splitText(GetParam().text, L";", pieces);
    EXPECT_EQ(pieces, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTextTest,
    ::testing::Values(SplitCase{L"empty", L"", {}}, SplitCase{L"no separator", L"1.8", {L"1.8"}},
                      SplitCase{L"adjacent separators", L"1.8;;11", {L"1.8", L"", L"11"}},
                      SplitCase{L"leading separator", L";1.8", {L"", L"1.8"}},
                      SplitCase{L"trailing separator", L"1.8;", {L"1.8"}},
                      SplitCase{L"only separator", L";", {L""}},
                      SplitCase{L"two separators", L";;", {L"", L""}}));

TEST(SplitText, MultiCharacterSeparator) {
    Tokens pieces;
    splitText(L"a\r\nb\nc\r\r\n\r\nd", L"\r\n", pieces);
    EXPECT_EQ(pieces, (Tokens{L"a", L"b\nc\r", L"", L"d"}));
    splitText(L"a\r\n", L"\r\n", pieces);
    EXPECT_EQ(pieces, (Tokens{L"a"}));
    // A separator cut in half at the end is text.
    splitText(L"a\r", L"\r\n", pieces);
    EXPECT_EQ(pieces, (Tokens{L"a\r"}));
}

TEST(SplitText, EmptySeparatorGivesWholeText) {
    Tokens pieces;
    splitText(L"abc", L"", pieces);
    EXPECT_EQ(pieces, (Tokens{L"abc"}));
}

}  // namespace
}  // namespace base

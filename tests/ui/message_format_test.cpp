#include "ui/message_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace ui {
namespace {

struct FormatCase {
    const wchar_t* name;
    std::wstring_view format;
    std::vector<MessageArg> args;
    std::wstring expected;
};

TEST(FormatMessage, FillsDirectivesInOrder) {
    const std::vector<FormatCase> cases = {
        {L"plain text", L"Main class was not specified.", {}, L"Main class was not specified."},
        {L"text and number",
         L"Windows exception: %s (errno = %d).\n",
         {std::wstring_view(L"failed to get the module path"), 5},
         L"Windows exception: failed to get the module path (errno = 5).\n"},
        {L"two texts",
         L"JNI exception: %s\nReason: %s.\n",
         {std::wstring_view(L"failed"), std::wstring_view(L"unknown")},
         L"JNI exception: failed\nReason: unknown.\n"},
        {L"negative and extreme numbers",
         L"%d %d %d",
         {-1, INT_MIN, INT_MAX},
         L"-1 -2147483648 2147483647"},
        {L"percent sign", L"100%% of %s", {std::wstring_view(L"it")}, L"100% of it"},
        {L"empty text argument", L"[%s]", {std::wstring_view()}, L"[]"},
        {L"argument holding a directive is not expanded",
         L"%s and %s",
         {std::wstring_view(L"%s%d"), std::wstring_view(L"x")},
         L"%s%d and x"},
        {L"unknown directive stays", L"%x %s", {std::wstring_view(L"a")}, L"%x a"},
        {L"trailing percent stays", L"50%", {}, L"50%"},
        {L"directive at the very end", L"n=%d", {7}, L"n=7"},
        {L"extra arguments ignored", L"%s", {std::wstring_view(L"a"), 3}, L"a"},
        {L"embedded NUL in format kept",
         std::wstring_view(L"a\0%d", 4),
         {1},
         std::wstring(L"a\0"
                      L"1",
                      3)},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(formatMessage(c.format, c.args), c.expected) << c.name;
    }
}

TEST(FormatMessage, MissingArgumentsLeaveDirectivesAsWritten) {
    EXPECT_EQ(formatMessage(L"%s (errno = %d)", {}), L"%s (errno = %d)");
    EXPECT_EQ(formatMessage(L"%s (errno = %d)", {std::wstring_view(L"x")}), L"x (errno = %d)");
}

TEST(FormatMessage, MismatchedArgumentIsNotReadAndKeepsLaterOnesAligned) {
    // "%d" given a text and "%s" given a number: written as they stand; the second directive
    // still takes the second argument.
    EXPECT_EQ(formatMessage(L"%d-%s", {std::wstring_view(L"text"), std::wstring_view(L"b")}),
              L"%d-b");
    EXPECT_EQ(formatMessage(L"%s-%d", {42, 7}), L"%s-7");
}

TEST(FormatMessage, LongArgumentIsCopiedWhole) {
    const std::wstring longText(70000, L'x');
    const std::wstring result = formatMessage(L"<%s>", {std::wstring_view(longText)});
    EXPECT_EQ(result.size(), longText.size() + 2);
    EXPECT_EQ(result.front(), L'<');
    EXPECT_EQ(result.back(), L'>');
}

}  // namespace
}  // namespace ui

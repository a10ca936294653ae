#include "ui/edit_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui {
namespace {

TEST(WithWindowsLineEnds, EveryLineEndBecomesCrLf) {
    struct Case {
        std::wstring_view text;
        std::wstring_view expected;
    };
    const std::vector<Case> cases = {
        {L"", L""},
        {L"no line end", L"no line end"},
        {L"a\r\nb\r\n", L"a\r\nb\r\n"},
        {L"a\nb\n", L"a\r\nb\r\n"},
        {L"a\rb", L"a\r\nb"},
        {L"java.lang.RuntimeException: one\ntwo\r\n\tat Main.main(Main.java)\r\n",
         L"java.lang.RuntimeException: one\r\ntwo\r\n\tat Main.main(Main.java)\r\n"},
        {L"\n\n", L"\r\n\r\n"},
        {L"\r\r\n", L"\r\n\r\n"},
        {L"\n\r", L"\r\n\r\n"},
        {L"end\r", L"end\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withWindowsLineEnds(c.text), c.expected);
    }
}

}  // namespace
}  // namespace ui

#include "base/text.h"

#include <gtest/gtest.h>

namespace base {
namespace {

TEST(Text, TrimmedRemovesWideSpaceAtBothEnds) {
    EXPECT_EQ(trimmed(L" \t\r\n a b \v\f"), L"a b");
    EXPECT_EQ(trimmed(L"   "), L"");
    EXPECT_EQ(trimmed(L""), L"");
    EXPECT_EQ(trimmed(L"\x01x\x01"), L"\x01x\x01");  // control characters are not space
}

TEST(Text, EqualsIgnoringCase) {
    EXPECT_TRUE(equalsIgnoringCase(L"Yes", L"yES"));
    EXPECT_FALSE(equalsIgnoringCase(L"Yes", L"Ye"));
    EXPECT_FALSE(equalsIgnoringCase(L"y", L"yes"));
    EXPECT_TRUE(equalsIgnoringCase(L"", L""));
}

TEST(Text, ReplacedAll) {
    EXPECT_EQ(replacedAll(L"com.example.Main", L'.', L'/'), L"com/example/Main");
}

}  // namespace
}  // namespace base

#include <gtest/gtest.h>

#include "tests/support/fake_jvm/scenario.h"
#include "tests/support/fake_jvm/text_codec.h"

using namespace std::string_literals;

namespace fakejvm {
namespace {

TEST(FakeJvmText, ModifiedUtf8EncodesNulAndSurrogatesSeparately) {
    const std::u16string text = u"a\0\u00e9\U0001F600"s;
    const std::string encoded = modifiedUtf8FromUtf16(text);
    EXPECT_EQ(encoded, "a\xC0\x80\xC3\xA9\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(utf16FromModifiedUtf8(encoded), text);
    // Standard UTF-8 writes the same character in four bytes.
    EXPECT_EQ(utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16FromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(FakeJvmText, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(utf16FromUtf8("a\xFF"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf16FromUtf8("\xC3"), u"\uFFFD");
    EXPECT_EQ(utf16FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong outside modified UTF-8
    EXPECT_EQ(utf8FromUtf16(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(FakeJvmText, HexAndEscapes) {
    EXPECT_EQ(hexUnits(u"A \xD83D"), "00410020d83d");
    EXPECT_EQ(unescaped(R"(a\nb\tc\\n\r\q)"), "a\nb\tc\\n\r\\q");
}

TEST(FakeJvmScenario, DefaultsWhenEmptyOrBroken) {
    for (const char* text : {"", "garbage\n\x01\x02", "create_result=abc\nhas_main=maybe\n"}) {
        const Scenario scenario = parseScenario(text);
        EXPECT_EQ(scenario.createResult, 0);
        EXPECT_EQ(scenario.defaultStackSize, 1048576);
        EXPECT_EQ(scenario.mainClass, "Main");
        EXPECT_TRUE(scenario.hasMain);
        EXPECT_TRUE(scenario.launcherHelper);
        EXPECT_TRUE(scenario.mainActions.empty());
    }
}

TEST(FakeJvmScenario, ReadsEveryKey) {
    const Scenario s = parseScenario(
        "\xEF\xBB\xBF# comment\r\n"
        "create_result=-6\r\n"
        "create_delay=1500\n"
        "default_stack_size=0x40000\n"
        "main_class = com/example/Main\n"
        "has_main=no\nlauncher_helper=no\n"
        "main=sleep:10, thread:20,box:Hi there,exit_after:5:-3,bogus,throw\n"
        "secondary_main=int:7\nsecondary=exit:4\n"
        "exception_class=java/lang/IllegalStateException\n"
        "trace=x: gr\xC3\xBC\xC3\x9F"
        "e\\n\\tat y\n"
        "print_out=out\\n\nprint_err=err\n"
        "describe_throws=partial\nexit_throws=yes\ndetach_result=-1\n");
    EXPECT_EQ(s.createResult, -6);
    EXPECT_EQ(s.createDelayMs, 1500);
    EXPECT_EQ(s.defaultStackSize, 0x40000);
    EXPECT_EQ(s.mainClass, "com/example/Main");
    EXPECT_FALSE(s.hasMain);
    EXPECT_FALSE(s.launcherHelper);
    const std::vector<Action> expected = {{Action::Kind::Sleep, 10, 0, ""},
                                          {Action::Kind::Thread, 20, 0, ""},
                                          {Action::Kind::Box, 0, 0, "Hi there"},
                                          {Action::Kind::ExitAfter, 5, -3, ""},
                                          {Action::Kind::Throw, 0, 0, ""}};
    EXPECT_EQ(s.mainActions, expected);
    EXPECT_EQ(s.secondary, Scenario::Secondary::Int);
    EXPECT_EQ(s.secondaryResult, 7);
    ASSERT_EQ(s.secondaryActions.size(), 1U);
    EXPECT_EQ(s.secondaryActions[0].number, 4);
    EXPECT_EQ(s.exceptionClass, "java/lang/IllegalStateException");
    EXPECT_EQ(s.trace,
              "x: gr\xC3\xBC\xC3\x9F"
              "e\n\tat y");
    EXPECT_EQ(s.printOut, "out\n");
    EXPECT_EQ(s.printErr, "err");
    EXPECT_EQ(s.describeThrows, Scenario::DescribeThrows::Partial);
    EXPECT_TRUE(s.exitThrows);
    EXPECT_EQ(s.detachResult, -1);
}

TEST(FakeJvmScenario, ExitCodesKeepAllThirtyTwoBits) {
    EXPECT_EQ(parseScenario("main=exit:0xFFFFFFFF").mainActions.at(0).number, -1);
    EXPECT_EQ(parseScenario("main=exit:-2147483648").mainActions.at(0).number, INT32_MIN);
    EXPECT_TRUE(parseScenario("main=exit:99999999999").mainActions.empty());
    EXPECT_TRUE(parseScenario("main=sleep:-1").mainActions.empty());
}

}  // namespace
}  // namespace fakejvm

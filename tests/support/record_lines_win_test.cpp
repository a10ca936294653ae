#include <gtest/gtest.h>

#include "tests/support/record_lines.h"

namespace support {
namespace {

TEST(RecordLines, SplitsOnAnyLineEnd) {
    EXPECT_EQ(splitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(splitLines("a\n"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST(RecordLines, ArgumentsOfTheChosenCall) {
    const std::vector<std::string> lines = {
        "create version=0x10002 nOptions=1 ignoreUnrecognized=0",
        "option -Dx=1",
        "main 2",
        "arg 0 00410020",
        "arg 1 ",
        "main 1",
        "arg 0 d83dde00",
        "secondaryMain 0",
    };
    EXPECT_EQ(recordedArguments(lines), (std::vector<std::u16string>{u"A ", u""}));
    EXPECT_EQ(recordedArguments(lines, "main", "arg", 1),
              std::vector<std::u16string>{u"\U0001F600"});
    EXPECT_EQ(recordedArguments(lines, "secondaryMain", "secondaryArg"),
              std::vector<std::u16string>{});
    EXPECT_FALSE(recordedArguments(lines, "main", "arg", 2).has_value());
    EXPECT_EQ(recordedOptions(lines), std::vector<std::string>{"-Dx=1"});
}

TEST(RecordLines, MalformedArgumentLinesAreRejected) {
    for (const auto& lines :
         std::vector<std::vector<std::string>>{{"main 2", "arg 0 0041"},  // one item missing
                                               {"main 1", "arg 0 041"},  // not four digits per unit
                                               {"main 1", "arg 0 zzzz"},  // not hex
                                               {"main 1", "arg 1 0041"},  // wrong index
                                               {"main x"}}) {
        EXPECT_FALSE(recordedArguments(lines).has_value()) << lines.back();
    }
}

}  // namespace
}  // namespace support

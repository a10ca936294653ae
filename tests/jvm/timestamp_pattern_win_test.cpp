#include <windows.h>

#include <gtest/gtest.h>

#include "jvm/timestamp_pattern_win.h"

namespace jvm {
namespace {

SYSTEMTIME sampleTime() {
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDay = 5;
    time.wDayOfWeek = 2;
    time.wHour = 14;
    time.wMinute = 7;
    time.wSecond = 9;
    time.wMilliseconds = 42;
    return time;
}

struct Case {
    std::wstring input;
    std::wstring expected;
};

TEST(ExpandTimestampPatternWin, FormatsDateTimeAndMilliseconds) {
    const Case cases[] = {
        {L"C:\\logs\\log_%yyyyMMdd%.txt", L"C:\\logs\\log_20240305.txt"},
        {L"%HH-mm-ss%", L"14-07-09"},
        {L"out_%yyyy-MM-dd_HH-mm-ss-L%.log", L"out_2024-03-05_14-07-09-42.log"},
        {L"C:\\logs\\50%.log", L"C:\\logs\\50%.log"},
        {L"plain.log", L"plain.log"},
    };
    for (const Case& c : cases) {
        std::wstring name = c.input;
        expandTimestampPattern(name, sampleTime());
        EXPECT_EQ(name, c.expected) << std::string(c.input.begin(), c.input.end());
    }
}

TEST(ExpandTimestampPatternWin, OverlongPatternOrResultBecomesEmpty) {
    std::wstring dayNames;
    for (int i = 0; i < 45; ++i) dayNames += L"dddd ";  // 225 characters, over 300 formatted
    for (const std::wstring& pattern : {std::wstring(300, L'y'), dayNames}) {
        std::wstring name = L"a%" + pattern + L"%b";
        expandTimestampPattern(name, sampleTime());
        EXPECT_EQ(name, L"ab");
    }
}

TEST(ExpandTimestampPatternsWin, BothNamesShareOneTimeAndPlainNamesStay) {
    std::wstring output = L"o_%yyyyMMddHHmmssL%.log";
    std::wstring error = L"e_%yyyyMMddHHmmssL%.log";
    expandTimestampPatterns(output, error);
    EXPECT_EQ(output.substr(2), error.substr(2));
    EXPECT_EQ(output.find(L'%'), std::wstring::npos);

    std::wstring plainOutput = L"out.log";
    std::wstring emptyError;
    expandTimestampPatterns(plainOutput, emptyError);
    EXPECT_EQ(plainOutput, L"out.log");
    EXPECT_EQ(emptyError, L"");
}

}  // namespace
}  // namespace jvm

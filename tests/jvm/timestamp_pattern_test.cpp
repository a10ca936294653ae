#include "jvm/timestamp_pattern.h"

#include <ostream>

#include <gtest/gtest.h>

namespace jvm {
namespace {

TEST(FindTimestampPattern, NeedsTwoDistinctPercentSigns) {
    EXPECT_FALSE(findTimestampPattern(L"log.txt"));
    EXPECT_FALSE(findTimestampPattern(L"100%.txt"));
    const auto span = findTimestampPattern(L"a%b%c%d");
    ASSERT_TRUE(span);
    EXPECT_EQ(span->firstPercent, 1U);
    EXPECT_EQ(span->lastPercent, 5U);
}

TEST(WithMilliseconds, ReplacesEveryLWithoutLeadingZeros) {
    EXPECT_EQ(withMilliseconds(L"ss-L", 7), L"ss-7");
    EXPECT_EQ(withMilliseconds(L"L.L", 999), L"999.999");
    EXPECT_EQ(withMilliseconds(L"L", 0), L"0");
    EXPECT_EQ(withMilliseconds(L"HHmm", 42), L"HHmm");
}

// Formatters that record the order of the passes and mark what they saw.
struct Recorder {
    std::vector<std::wstring> calls;
    PatternFormatter time() {
        return [this](const std::wstring& p) {
            calls.push_back(L"time:" + p);
            return L"T(" + p + L")";
        };
    }
    PatternFormatter date() {
        return [this](const std::wstring& p) {
            calls.push_back(L"date:" + p);
            return L"D(" + p + L")";
        };
    }
};

struct ExpansionCase {
    const char* name;
    std::wstring input;
    std::wstring expected;
};

void PrintTo(const ExpansionCase& expansionCase, std::ostream* out) { *out << expansionCase.name; }

class ExpandTimestampPattern : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(ExpandTimestampPattern, ReplacesThePatternAndBothPercentSigns) {
    Recorder recorder;
    std::wstring name = GetParam().input;
    expandTimestampPattern(name, 123, recorder.time(), recorder.date());
    EXPECT_EQ(name, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExpandTimestampPattern,
    ::testing::Values(ExpansionCase{"NoPattern", L"C:\\logs\\out.log", L"C:\\logs\\out.log"},
                      ExpansionCase{"SinglePercent", L"C:\\logs\\50%.log", L"C:\\logs\\50%.log"},
                      ExpansionCase{"Simple", L"log_%yyyyMMdd%.txt", L"log_D(T(yyyyMMdd)).txt"},
                      ExpansionCase{"Milliseconds", L"%HH-mm-ss-L%", L"D(T(HH-mm-ss-123))"},
                      ExpansionCase{"FirstToLast", L"a%x%b%y%c", L"aD(T(x%b%y))c"},
                      ExpansionCase{"EmptyPattern", L"a%%b", L"aD(T())b"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpandTimestampPatternOrder, TimeRunsBeforeDate) {
    Recorder recorder;
    std::wstring name = L"%yyyy HH%";
    expandTimestampPattern(name, 5, recorder.time(), recorder.date());
    EXPECT_EQ(recorder.calls, (std::vector<std::wstring>{L"time:yyyy HH", L"date:T(yyyy HH)"}));
}

TEST(ExpandTimestampPatternFailure, FailedFormattingLeavesEmptyText) {
    std::wstring name = L"before%bad%after";
    const PatternFormatter failing = [](const std::wstring&) { return std::wstring(); };
    expandTimestampPattern(name, 0, failing, failing);
    EXPECT_EQ(name, L"beforeafter");
}

}  // namespace
}  // namespace jvm

// Output redirection and uncaught exceptions seen from outside.
#include <windows.h>

#include <cstdio>

#include "resources/resource_ids.h"
#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

const char* const kThrowingMain =
    "main_class=com/example/Main\nmain=throw\n"
    "trace=java.lang.RuntimeException: boom \xc3\xa4\\r\\n\\tat "
    "com.example.Main.main(Main.java:3)\\r\\n\n";

// The dialog's trace, read before answering with the given button.
struct ExceptionDialogWatch {
    int button;
    std::wstring seenTitle;
    std::wstring seenTrace;
    support::WindowAction operator()(const support::WindowInfo& window) {
        if (const auto* trace = window.control(IDC_EXCEPTION_TEXT)) {
            seenTitle = window.title;
            seenTrace = trace->text;
            return support::WindowAction::press(button);
        }
        return support::WindowAction::press(IDOK);
    }
};

TEST_F(LauncherTest, UncaughtExceptionDialogShowsTheTraceAndIgnoreEndsWithZero) {
    writeLaunchSettings(L"", L"Failure Check=Yes");
    writeScenario(kThrowingMain);
    ExceptionDialogWatch watch{IDOK, {}, {}};
    const auto result = launch({}, std::ref(watch));
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_EQ(watch.seenTitle, L"Java Exception");
    EXPECT_EQ(
        watch.seenTrace,
        L"java.lang.RuntimeException: boom \u00e4\r\n\tat com.example.Main.main(Main.java:3)\r\n");
}

TEST_F(LauncherTest, StopInTheExceptionDialogEndsWithMinusOne) {
    writeLaunchSettings(L"", L"Failure Check=yes");
    writeScenario(kThrowingMain);
    ExceptionDialogWatch watch{IDCANCEL, {}, {}};
    const auto result = launch({}, std::ref(watch));
    EXPECT_FALSE(watch.seenTrace.empty());
    EXPECT_EQ(result.exitCode(), -1);
    EXPECT_THAT(result.record, ::testing::Contains("exit -1"));
}

TEST_F(LauncherTest, WithoutFailureCheckAnUncaughtExceptionShowsNoDialog) {
    writeLaunchSettings(L"", L"Failure Check=No");
    writeScenario(kThrowingMain);
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_TRUE(result.run.windows.empty());
}

std::wstring today(const wchar_t* picture) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[64];
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &now, picture, text, 64);
    return text;
}

TEST_F(LauncherTest, OutputAndErrorGoToFilesNamedWithTheDate) {
    writeLaunchSettings(L"", L"Output File=" + app.file(L"logs\\out_%yyyyMMdd%.txt") +
                                 L"\r\nError File=" + app.file(L"logs\\deep\\err%1.txt"));
    writeScenario(
        "main_class=com/example/Main\nprint_out=to standard output\n"
        "print_err=to standard error\n");
    const auto before = today(L"yyyyMMdd");
    const auto result = launch();
    const auto after = today(L"yyyyMMdd");
    EXPECT_EQ(result.exitCode(), 0);
    std::string output = app.readBytes(L"logs\\out_" + before + L".txt");
    if (output.empty()) output = app.readBytes(L"logs\\out_" + after + L".txt");
    EXPECT_NE(output.find("to standard output"), std::string::npos);
    // A single percent sign is no pattern: the name stays as written.
    EXPECT_NE(app.readBytes(L"logs\\deep\\err%1.txt").find("to standard error"), std::string::npos);
}

TEST_F(LauncherTest, AppendSwitchKeepsEarlierOutput) {
    writeLaunchSettings(L"", L"Output File=" + app.file(L"out.log") + L"\r\nOutput Append=yes");
    writeScenario("main_class=com/example/Main\nprint_out=line\n");
    app.writeBytes(L"out.log", "earlier\n");
    EXPECT_EQ(launch().exitCode(), 0);
    const auto text = app.readBytes(L"out.log");
    EXPECT_EQ(text.rfind("earlier\n", 0), 0u) << text;
    EXPECT_NE(text.find("line"), std::string::npos);
}

}  // namespace
}  // namespace e2e

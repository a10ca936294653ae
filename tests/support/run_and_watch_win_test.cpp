#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/app_folder_win.h"
#include "tests/support/record_lines.h"
#include "tests/support/run_and_watch_win.h"

#ifndef SUPPORT_PROBE_EXE
#error "SUPPORT_PROBE_EXE names the probe program"
#endif

// Starts real processes (the probe) and works their windows. Windows need an X display.
namespace support {
namespace {

std::wstring probe() { return quoteArgument(windowsPathOf(SUPPORT_PROBE_EXE)); }

bool haveDisplay() { return GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0; }

TEST(QuoteArgument, SurvivesTheUsualSplitting) {
    EXPECT_EQ(quoteArgument(L"plain"), L"plain");
    EXPECT_EQ(quoteArgument(L""), L"\"\"");
    EXPECT_EQ(quoteArgument(L"a b"), L"\"a b\"");
    EXPECT_EQ(quoteArgument(L"say \"hi\""), L"\"say \\\"hi\\\"\"");
    EXPECT_EQ(quoteArgument(L"C:\\dir with space\\"), L"\"C:\\dir with space\\\\\"");
}

TEST(RunAndWatch, ReadsAMessageBoxAndPressesItsButton) {
    if (!haveDisplay()) GTEST_SKIP() << "no X display";
    const RunResult result = runAndWatch(
        probe() + L" box \"Hello there\"", L"",
        [](const WindowInfo& window) {
            return window.hasButton(IDNO) ? WindowAction::press(IDNO) : WindowAction::leave();
        },
        60000);
    ASSERT_TRUE(result.finished());
    ASSERT_EQ(result.windows.size(), 1U);
    EXPECT_TRUE(result.windows[0].isDialog());
    EXPECT_EQ(result.windows[0].title, L"probe");
    EXPECT_EQ(result.windows[0].messageText(), L"Hello there");
    EXPECT_TRUE(result.windows[0].hasButton(IDYES));
    EXPECT_EQ(result.exitCode, static_cast<DWORD>(IDNO));
}

TEST(RunAndWatch, WatchesTheWindowsOfChildProcesses) {
    if (!haveDisplay()) GTEST_SKIP() << "no X display";
    const RunResult result = runAndWatch(
        probe() + L" child \"From the child\"", L"",
        [](const WindowInfo&) { return WindowAction::click(IDCANCEL); }, 60000);
    ASSERT_TRUE(result.finished());
    ASSERT_EQ(result.windows.size(), 1U);
    EXPECT_EQ(result.windows[0].messageText(), L"From the child");
    EXPECT_EQ(result.exitCode, static_cast<DWORD>(IDCANCEL));
}

TEST(RunAndWatch, ReturnsAllThirtyTwoBitsAndTheOutput) {
    const RunResult result =
        runAndWatch(probe() + L" print \"to out\" \"to err\" 0xC0000005", L"", nullptr, 60000);
    ASSERT_TRUE(result.finished());
    EXPECT_EQ(result.exitCode, 0xC0000005U);
    EXPECT_EQ(result.standardOutput, "to out");
    EXPECT_EQ(result.standardError, "to err");
}

TEST(RunAndWatch, KillsAProgramThatOutlivesTheTimeout) {
    const ULONGLONG start = GetTickCount64();
    const RunResult result = runAndWatch(probe() + L" sleep 60000", L"", nullptr, 3000);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.timedOut);
    EXPECT_LT(GetTickCount64() - start, 30000U);
}

TEST(RunAndWatch, ReportsAProgramThatCannotStart) {
    const RunResult result = runAndWatch(L"Z:\\no\\such\\program.exe", L"", nullptr, 1000);
    EXPECT_FALSE(result.started);
    EXPECT_NE(result.startError, 0U);
}

// The fake JVM in a process of its own: a Java window keeps the process alive until it is
// closed, and System.exit ends it with the program's status after the exit hook.
TEST(FakeJvmProcess, JavaWindowsAndSystemExit) {
    if (!haveDisplay()) GTEST_SKIP() << "no X display";
    AppFolder folder(L"fjproc");
    const std::wstring dll = folder.installJvm(FakeJvm::Full);
    folder.writeScenario("main=box:Java window\n");
    RunResult result = runAndWatch(
        probe() + L" jvm " + quoteArgument(dll) + L" one", folder.path(),
        [](const WindowInfo& window) {
            return window.messageText() == L"Java window" ? WindowAction::press(IDOK)
                                                          : WindowAction::leave();
        },
        60000);
    ASSERT_TRUE(result.finished());
    EXPECT_EQ(result.exitCode, 0U);
    ASSERT_EQ(result.windows.size(), 1U);
    EXPECT_EQ(result.windows[0].title, L"fakejvm window");
    auto lines = folder.readRecord();
    EXPECT_EQ(recordedArguments(lines), std::vector<std::u16string>{u"one"});
    const auto destroy = indexOf(lines, "destroy");
    const auto closed = indexOf(lines, "box closed 1");
    const auto destroyed = indexOf(lines, "destroyed");
    ASSERT_TRUE(destroy && closed && destroyed);
    EXPECT_LT(*closed, *destroyed);

    folder.clearRecord();
    folder.writeScenario("main=exit:-7\n");
    result = runAndWatch(probe() + L" jvm " + quoteArgument(dll), folder.path(), nullptr, 60000);
    ASSERT_TRUE(result.finished());
    EXPECT_EQ(result.signedExitCode(), -7);
    EXPECT_EQ(result.standardOutput, "hook exit -7\n");
    lines = folder.readRecord();
    EXPECT_TRUE(hasLine(lines, "exit -7"));
    EXPECT_FALSE(hasLine(lines, "destroy"));
}

}  // namespace
}  // namespace support

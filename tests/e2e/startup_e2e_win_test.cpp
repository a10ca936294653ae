// The launcher's start-up seen from outside: settings, runtime search and library loading.
#include <windows.h>

#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;

TEST_F(LauncherTest, SettingsWithoutMainClassShowTheErrorAndEndWithMinusOne) {
    writeSettings(L"[Java Runtime Environment]\r\nMinimum Version=1.8\r\n");
    const auto result = launch();
    ASSERT_TRUE(result.run.finished());
    EXPECT_EQ(result.exitCode(), -1);
    ASSERT_EQ(result.errorTexts().size(), 1u);
    EXPECT_EQ(result.errorTexts()[0], L"Main class was not specified in INI file.");
    EXPECT_TRUE(result.record.empty()) << "no JVM may be loaded";
}

TEST_F(LauncherTest, BinarySettingsFileIsReportedAsMissingMainClassAndLeftUnchanged) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
    app.writeBytes(L"MyApp.ini", garbage);
    const auto result = launch();
    ASSERT_TRUE(result.run.finished());
    EXPECT_EQ(result.exitCode(), -1);
    EXPECT_EQ(result.errorTexts().size(), 1u);
    EXPECT_EQ(app.readBytes(L"MyApp.ini"), garbage);
}

TEST(LauncherWithoutDot, ExecutablePathWithoutDotEndsSilentlyWithMinusOne) {
    support::AppFolder folder(L"nodot");
    ASSERT_EQ(folder.path().find(L'.'), std::wstring::npos) << folder.path();
    const auto exe = folder.copyIn(launcherPath(), L"MyApp");
    const auto result = support::runAndWatch(
        support::quoteArgument(exe), folder.path(),
        [](const support::WindowInfo&) { return support::WindowAction::close(); }, 60000);
    ASSERT_TRUE(result.finished());
    EXPECT_EQ(result.signedExitCode(), -1);
    EXPECT_TRUE(result.windows.empty());
}

TEST_F(LauncherTest, UnloadableJvmLibraryShowsItsPathAndError) {
    writeLaunchSettings();
    app.writeBytes(L"jre\\bin\\client\\jvm.dll", "this is not a DLL");
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), -1);
    ASSERT_EQ(result.errorTexts().size(), 1u);
    const std::wstring text = result.errorTexts()[0];
    EXPECT_THAT(text, HasSubstr(L"Failed to load Java VM library: " +
                                app.file(L"jre\\bin\\client\\jvm.dll")));
    EXPECT_THAT(text, HasSubstr(L"(errno = "));
    EXPECT_EQ(text.find(L"(errno = 0)"), std::wstring::npos);
}

TEST_F(LauncherTest, JvmLibraryWithoutCreateEntryShowsTheWindowsException) {
    writeLaunchSettings();
    app.installJvm(support::FakeJvm::NoCreate);
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), -1);
    ASSERT_EQ(result.errorTexts().size(), 1u);
    EXPECT_EQ(result.errorTexts()[0],
              L"Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n");
}

TEST_F(LauncherTest, NoRuntimeAnywhereEndsWithMinusOne) {
    // A misspelt "JVM Source" searches no registry key; nothing lies beside the executable.
    support::removeTree(app.file(L"jre"));
    writeLaunchSettings(L"JVM Source=neither\r\n");
    // The JRE-not-found dialog asks for a runtime; cancelling it ends the start.
    const auto result = launch({}, [](const support::WindowInfo& window) {
        return window.hasButton(IDCANCEL) ? support::WindowAction::click(IDCANCEL)
                                          : support::WindowAction::leave();
    });
    ASSERT_TRUE(result.run.finished());
    EXPECT_EQ(result.exitCode(), -1);
}

TEST_F(LauncherTest, JrePathFromThePerUserFileWinsOverTheMainFile) {
    support::removeTree(app.file(L"jre"));
    app.installJvm(support::FakeJvm::Full, L"user-rt\\bin\\client\\jvm.dll", false);
    app.installJvm(support::FakeJvm::Full, L"main-rt\\bin\\client\\jvm.dll", false);
    writeSettings(
        L"[Product Information]\r\nProduct Name=My: App/\r\nProduct Code=PC1\r\n"
        L"[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" +
        app.file(L"main-rt") + L"\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n");
    // The per-user folder drops the characters a folder name cannot hold.
    app.writeText(L"appdata\\My App\\PC1\\MyApp.ini",
                  L"[Java Runtime Environment]\r\nJRE Path=" + app.file(L"user-rt\\") + L"\r\n");
    support::RunOptions options;
    options.environment.push_back(L"APPDATA=" + app.file(L"appdata"));
    const auto result = launch({}, nullptr, options);
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_FALSE(app.readRecord(L"user-rt\\bin\\client\\jvm.dll").empty());
    EXPECT_TRUE(app.readRecord(L"main-rt\\bin\\client\\jvm.dll").empty());
}

TEST_F(LauncherTest, JrePathFromTheMainFileIsUsedWithoutPerUserFile) {
    support::removeTree(app.file(L"jre"));
    app.installJvm(support::FakeJvm::Full, L"main-rt\\bin\\server\\jvm.dll", false);
    app.writeScenario("main_class=com/example/Main\n", L"main-rt\\bin\\server\\jvm.dll");
    writeLaunchSettings(L"JRE Path=" + app.file(L"main-rt") + L"\r\nJVM Type=server\r\n");
    support::RunOptions options;
    options.environment.push_back(L"APPDATA=" + app.file(L"no-appdata"));
    const auto result = launch({}, nullptr, options);
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_FALSE(app.readRecord(L"main-rt\\bin\\server\\jvm.dll").empty());
}

}  // namespace
}  // namespace e2e

// Launching Java from end to end: option list, environment, arguments, stack sizes, exit codes
// and the hand-over to the paired 64-bit launcher.
#include <windows.h>

#include <cstdio>

#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) result.push_back(static_cast<char>(c));  // ASCII paths only
    return result;
}

std::string recordValue(const std::vector<std::string>& record, std::string_view prefix) {
    const auto values = support::linesAfter(record, prefix);
    return values.empty() ? std::string("<missing>") : values.front();
}

TEST_F(LauncherTest, OptionsReachTheJvmInOrderWithTheHooksLast) {
    app.writeBytes(L"lib\\x.jar", "PK");
    writeSettings(
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
        L"Library Path=C:\\native\r\n"
        L"Virtual Machine Parameters=-Xmx256m  -Dp=\"a b\" -ea\r\n"
        L"[Class Path]\r\nClass Path=\\lib\\app.jar;C:\\absent\\b.jar;;\\lib\\missing.jar\r\n");
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0);
    const auto options = support::recordedOptions(result.record);
    ASSERT_EQ(options.size(), 5u) << ::testing::PrintToString(result.record);
    EXPECT_EQ(options[0].rfind("-Djava.library.path=C:\\native;" + narrow(app.path()), 0), 0u)
        << options[0];
    EXPECT_THAT(options[0], HasSubstr("\\jre\\lib"));
    EXPECT_EQ(options[1],
              "-Djava.class.path=" + narrow(app.file(L"lib\\app.jar")) + ";C:\\absent\\b.jar");
    EXPECT_EQ(options[2], "-Xmx256m");
    EXPECT_EQ(options[3], "-Dp=a b");
    EXPECT_EQ(options[4], "-ea");
    const auto abortHook = support::indexOf(result.record, "hook abort");
    const auto exitHook = support::indexOf(result.record, "hook exit");
    ASSERT_TRUE(abortHook && exitHook);
    EXPECT_EQ(*exitHook, *abortHook + 1);
    EXPECT_THAT(result.record, ::testing::Contains("create version=0x10002 nOptions=7 "
                                                   "ignoreUnrecognized=0"));
}

TEST_F(LauncherTest, WildcardClassPathAndEmbeddedJar) {
    app.writeBytes(L"lib\\extra\\one.jar", "PK");
    app.writeBytes(L"lib\\extra\\two.jar", "PK");
    writeSettings(
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
        L"[Class Path]\r\nClass Path=\\lib\\extra\\*.jar\r\n"
        L"[Application]\r\nEmbedded Jar=yes\r\n");
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0);
    const auto options = support::recordedOptions(result.record);
    ASSERT_FALSE(options.empty());
    const std::string exePath = narrow(exe);
    const std::string one = narrow(app.file(L"lib\\extra\\one.jar"));
    const std::string two = narrow(app.file(L"lib\\extra\\two.jar"));
    EXPECT_TRUE(options[0] == "-Djava.class.path=" + exePath + ";" + one + ";" + two ||
                options[0] == "-Djava.class.path=" + exePath + ";" + two + ";" + one)
        << options[0];
}

TEST_F(LauncherTest, EmptyClassPathShowsTheErrorAndEndsWithMinusOne) {
    writeSettings(L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n");
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), -1);
    ASSERT_EQ(result.errorTexts().size(), 1u);
    EXPECT_EQ(result.errorTexts()[0], L"Java Class Path was not specified in INI file.");
}

TEST_F(LauncherTest, EnvironmentNamesTheChosenJvm) {
    writeLaunchSettings(L"System Path=C:\\tools;\r\n");
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0);
    const std::string library = narrow(app.file(L"jre\\bin\\client\\jvm.dll"));
    EXPECT_EQ(recordValue(result.record, "env VX_JVM_PATH="), library);
    EXPECT_EQ(recordValue(result.record, "env VX_JVM_HOME="), narrow(app.file(L"jre")));
    const std::string path = recordValue(result.record, "env Path=");
    EXPECT_EQ(path.rfind("C:\\tools;", 0), 0u) << path;
    EXPECT_TRUE(path.ends_with(";" + narrow(app.file(L"jre\\bin")))) << path;
}

TEST_F(LauncherTest, ArgumentsReachMainExactlyWithCmdArgumentsLast) {
    writeLaunchSettings(L"", L"Cmd=one \"two three\"");
    const auto result = launch({L"-nosplash", L"with space", L"quo\"te", L"\u00fc\u20ac\u4e2d"});
    ASSERT_EQ(result.exitCode(), 0);
    const auto arguments = support::recordedArguments(result.record);
    ASSERT_TRUE(arguments.has_value()) << ::testing::PrintToString(result.record);
    EXPECT_THAT(*arguments, ElementsAre(u"-nosplash", u"with space", u"quo\"te",
                                        u"\u00fc\u20ac\u4e2d", u"one", u"two three"));
}

TEST_F(LauncherTest, NoArgumentsGiveAnEmptyArray) {
    writeLaunchSettings();
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0);
    const auto arguments = support::recordedArguments(result.record);
    ASSERT_TRUE(arguments.has_value());
    EXPECT_TRUE(arguments->empty());
}

TEST_F(LauncherTest, PercentHeapOptionFollowsThePhysicalMemory) {
    writeLaunchSettings(L"Virtual Machine Parameters=-Xmx50P -Xms10:512P\r\n");
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0);
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    const auto base = static_cast<double>(status.dwTotalPhys >> 10);
    auto kilobytes = [&](double share) { return static_cast<uint32_t>(base * (share / 100.0)); };
    const uint32_t minimum = std::max<uint32_t>(kilobytes(10), 512u * 1024u);
    const auto options = support::recordedOptions(result.record);
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[1], "-Xmx" + std::to_string(kilobytes(50)) + "K");
    EXPECT_EQ(options[2], "-Xms" + std::to_string(minimum) + "K");
}

TEST_F(LauncherTest, StackSizeComesFromXssOrFromTheJvmDefault) {
    struct Case {
        const wchar_t* parameters;
        const char* scenario;
        const char* expected;
    };
    const Case cases[] = {
        {L"-Xss4m", "main_class=com/example/Main\n", "stack reserve=4194304"},
        {L"-Xss8m -Xss2m", "main_class=com/example/Main\n", "stack reserve=2097152"},
        // Below the executable's default reservation (1 MB) the thread gets that default.
        {L"-Xss512k", "main_class=com/example/Main\n", "stack reserve=1048576"},
        {L"", "main_class=com/example/Main\ndefault_stack_size=3145728\n", "stack reserve=3145728"},
    };
    for (const auto& c : cases) {
        writeLaunchSettings(std::wstring(L"Virtual Machine Parameters=") + c.parameters + L"\r\n");
        writeScenario(c.scenario);
        app.clearRecord();
        const auto result = launch();
        EXPECT_EQ(result.exitCode(), 0) << c.expected;
        EXPECT_THAT(result.record, ::testing::Contains(c.expected));
    }
}

TEST_F(LauncherTest, ExitCodesFollowTheJavaProgram) {
    struct Case {
        const char* scenario;
        int32_t exitCode;
        const wchar_t* message;  // empty: no message box
    };
    const Case cases[] = {
        {"main=return\n", 0, L""},
        {"main=exit:7\n", 7, L""},
        {"main=exit:-3\n", -3, L""},
        {"main=throw\n", 0, L""},
        // The JVM's own launcher class reports a missing class and ends the process with 1.
        {"main_class=com/example/Other\n", 1, L""},
        {"create_result=-6\n", -1,
         L"JNI exception: failed to create the Java VM\nReason: invalid arguments.\n"},
        {"create_result=-1\n", -1,
         L"JNI exception: failed to create the Java VM\nReason: unknown.\n"},
    };
    writeLaunchSettings();
    for (const auto& c : cases) {
        std::string scenario = c.scenario;
        if (scenario.find("main_class=") == std::string::npos)
            scenario = "main_class=com/example/Main\n" + scenario;
        writeScenario(scenario);
        const auto result = launch();
        EXPECT_EQ(result.exitCode(), c.exitCode) << c.scenario;
        const auto texts = result.errorTexts();
        if (*c.message == L'\0') {
            EXPECT_TRUE(texts.empty()) << c.scenario;
        } else {
            ASSERT_EQ(texts.size(), 1u) << c.scenario;
            EXPECT_EQ(texts[0], c.message);
        }
    }
}

TEST_F(LauncherTest, MainClassIsFoundThroughFindClassWithoutTheLauncherEntry) {
    writeLaunchSettings();
    app.installJvm(support::FakeJvm::NoLauncher);
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_THAT(result.record, ::testing::Contains("findclass com/example/Main"));
}

TEST_F(LauncherTest, WithoutTheLauncherEntryAMissingClassIsReported) {
    writeLaunchSettings();
    app.installJvm(support::FakeJvm::NoLauncher);
    writeScenario("main_class=com/example/Other\n");
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), -1);
    ASSERT_EQ(result.errorTexts().size(), 1u);
    EXPECT_EQ(result.errorTexts()[0], L"Could not find the main class com/example/Main.\n");
    EXPECT_THAT(result.record, ::testing::Contains(::testing::StartsWith("describe ")));
    // The Java main thread detaches, so the DestroyJavaVM at exit does not wait for it.
    EXPECT_THAT(result.record, ::testing::IsSupersetOf({"detach", "destroyed"}));
}

TEST_F(LauncherTest, AClassWithoutMainEndsWithMinusOne) {
    // The JVM leaves a NoSuchMethodError pending, which it describes itself: no message box.
    writeLaunchSettings();
    app.installJvm(support::FakeJvm::NoLauncher);
    writeScenario("main_class=com/example/Main\nhas_main=no\n");
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), -1);
    EXPECT_TRUE(result.errorTexts().empty());
}

TEST_F(LauncherTest, APairThatCannotBeStartedIsReportedAndEndsWithMinusOne) {
    app.copyIn(support::windowsPathOf(FOREIGN_LIBRARY), L"rt\\bin\\client\\jvm.dll");
    const std::wstring missing = app.file(L"Missing64.exe");
    for (const wchar_t* waitForPair : {L"", L"Pair Return Code=Yes\r\n"}) {
        writeSettings(L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nJRE Path=" +
                      app.file(L"rt") + L"\r\n[Application]\r\nPair Product=" + missing + L"\r\n" +
                      waitForPair);
        const auto result = launch();
        EXPECT_EQ(result.exitCode(), -1);
        ASSERT_EQ(result.errorTexts().size(), 1u);
        const std::wstring expectedStart =
            L"Failed to start the paired launcher " + missing + L".\nReason: ";
        EXPECT_THAT(result.errorTexts()[0], ::testing::StartsWith(expectedStart));
        EXPECT_GT(result.errorTexts()[0].size(), expectedStart.size() + 1);
        EXPECT_TRUE(result.record.empty());
    }
}

#ifdef PAIR_LAUNCHER_EXE
// A 32-bit launcher whose runtime is a 64-bit one hands the launch to its paired launcher.
class PairTest : public LauncherTest {
  protected:
    void SetUp() override {
        const std::wstring pairFolder = support::windowsPathOf(PAIR_BUILD_DIR);
        pair = app.copyIn(support::windowsPathOf(PAIR_LAUNCHER_EXE), L"MyApp64.exe");
        app.copyIn(pairFolder + L"\\tests\\support\\fakejvm.dll", L"rt64\\bin\\client\\jvm.dll");
        app.writeScenario("main_class=com/example/Main\nmain=exit:-3\n",
                          L"rt64\\bin\\client\\jvm.dll");
        const std::wstring common =
            L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
            L"JRE Path=" +
            app.file(L"rt64") +
            L"\r\n"
            L"[Class Path]\r\nClass Path=\\lib\\app.jar\r\n";
        app.writeText(L"MyApp64.ini", common);
        pairSettings = common + L"[Application]\r\nPair Product=" + pair + L"\r\n";
    }
    std::wstring pair;
    std::wstring pairSettings;
};

TEST_F(PairTest, WithPairReturnCodeTheChildsExitCodePassesThrough) {
    writeSettings(pairSettings + L"Pair Return Code=Yes\r\n");
    const auto result = launch({L"a b", L"-nosplash"});
    EXPECT_EQ(result.exitCode(), -3);
    const auto childRecord = app.readRecord(L"rt64\\bin\\client\\jvm.dll");
    const auto arguments = support::recordedArguments(childRecord);
    ASSERT_TRUE(arguments.has_value()) << ::testing::PrintToString(childRecord);
    EXPECT_THAT(*arguments, ElementsAre(u"a b", u"-nosplash"));
}

TEST_F(PairTest, WithoutPairReturnCodeTheLauncherEndsWithZero) {
    writeSettings(pairSettings);
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_TRUE(result.record.empty()) << "the 32-bit launcher must not load the 64-bit JVM";
    // The paired launcher goes on by itself; let it finish before its folder is removed, or it
    // would find its settings gone and wait on an error box for ever.
    bool childEnded = false;
    for (int i = 0; i < 600 && !childEnded; ++i) {
        childEnded = support::hasLine(app.readRecord(L"rt64\\bin\\client\\jvm.dll"), "exit -3");
        if (!childEnded) Sleep(100);
    }
    EXPECT_TRUE(childEnded);
    Sleep(500);  // the record is written just before the process ends
}
#endif

}  // namespace
}  // namespace e2e

// The launch log VX_LAUNCHER_LOG names: one record per launch, whatever its outcome, and whole
// records when launches write at once.
#include <windows.h>

#include "base/handles_win.h"
#include "base/path.h"
#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

class LaunchLogTest : public LauncherTest {
  protected:
    LaunchLogTest() {
        options.environment.push_back(L"VX_LAUNCHER_LOG=" + app.file(L"launch.log"));
    }

    // The records of the log, each without its closing empty line.
    std::vector<std::string> records() const {
        const std::string text = app.readBytes(L"launch.log");
        std::vector<std::string> found;
        size_t start = 0;
        for (size_t end; (end = text.find("\n\n", start)) != std::string::npos; start = end + 2) {
            found.push_back(text.substr(start, end + 1 - start));
        }
        EXPECT_EQ(start, text.size()) << "a record without its end";
        return found;
    }

    static std::string utf8(const std::wstring& text) {
        std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1,
                                                                nullptr, 0, nullptr, nullptr)),
                        '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()),
                            nullptr, nullptr);
        out.pop_back();
        return out;
    }

    support::RunOptions options;
};

TEST_F(LaunchLogTest, FoundRuntime) {
    writeLaunchSettings(L"Virtual Machine Parameters=-Dlog.test=ü");
    ASSERT_EQ(launch({}, nullptr, options).exitCode(), 0);
    const auto logged = records();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_THAT(logged[0],
                AllOf(HasSubstr("=== launch "), HasSubstr("executable: " + utf8(exe) + "\n"),
                      HasSubstr("\nversion: "),
                      HasSubstr("settings read: " + utf8(app.file(L"MyApp.ini")) + "\n"),
                      HasSubstr("candidate: beside the executable " + utf8(app.file(L"jre\\")) +
                                ": taken\n"),
                      HasSubstr("runtime: " + utf8(app.file(L"jre\\bin\\client\\jvm.dll"))),
                      HasSubstr("jvm option: -Djava.class.path="),
                      HasSubstr("jvm option: -Dlog.test=\xC3\xBC\n"),
                      HasSubstr("main class: com/example/Main\n"), HasSubstr("exit code: 0\n")));
}

TEST_F(LaunchLogTest, NoRuntimeFoundAndMissingMainClass) {
    support::removeTree(app.file(L"jre"));
    writeLaunchSettings(L"Minimum Version=99\r\nMaximum Version=any");
    const auto cancel = [](const support::WindowInfo& window) {
        return window.hasButton(IDCANCEL) ? support::WindowAction::click(IDCANCEL)
                                          : support::WindowAction::leave();
    };
    EXPECT_EQ(launch({}, cancel, options).exitCode(), -1);
    writeSettings(L"[Java Runtime Environment]\r\n");
    EXPECT_EQ(launch({}, nullptr, options).exitCode(), -1);

    const auto logged = records();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_THAT(logged[0], AllOf(HasSubstr("runtime: none found\n"),
                                 HasSubstr("message: the \"JRE not found\" dialog\n"),
                                 HasSubstr("exit code: -1\n")));
    EXPECT_THAT(logged[1], AllOf(HasSubstr("message: Main class was not specified"),
                                 HasSubstr("exit code: -1\n")));
}

// A product may ship with its log switched on: the setting names the file (environment
// references expanded, missing folders created), and the variable, set for one session, wins.
TEST_F(LaunchLogTest, SettingNamesTheLogAndTheVariableWins) {
    options.environment = {L"LOG_TEST_HOME=" + base::folderOf(app.file(L"MyApp.ini"))};
    writeLaunchSettings(L"", L"Launch Log=%LOG_TEST_HOME%\\logs\\launch.log");
    ASSERT_EQ(launch({}, nullptr, options).exitCode(), 0);
    EXPECT_THAT(app.readBytes(L"logs\\launch.log"),
                AllOf(HasSubstr("settings read: " + utf8(app.file(L"MyApp.ini")) + "\n"),
                      HasSubstr("exit code: 0\n")));

    options.environment.push_back(L"VX_LAUNCHER_LOG=" + app.file(L"launch.log"));
    ASSERT_EQ(launch({}, nullptr, options).exitCode(), 0);
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(app.readBytes(L"logs\\launch.log").find("=== launch", 1), std::string::npos);
}

#ifdef PAIR_LAUNCHER_EXE
// A 64-bit runtime named by JAVA_HOME: the launcher hands the start to its pair, and both write
// a record, the pair's first since the launcher waits for its exit code.
TEST_F(LaunchLogTest, HandOverToThePair) {
    support::removeTree(app.file(L"jre"));
    const std::wstring dll = L"jdk21\\bin\\server\\jvm.dll";
    app.copyIn(support::windowsPathOf(PAIR_BUILD_DIR) + L"\\tests\\support\\fakejvm.dll", dll);
    app.writeScenario("main_class=com/example/Main\nmain=exit:-3\n", dll);
    app.writeBytes(L"jdk21\\release", "JAVA_VERSION=\"21.0.1\"\n");
    const std::wstring pair = app.copyIn(support::windowsPathOf(PAIR_LAUNCHER_EXE), L"MyApp64.exe");
    const std::wstring settings =
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nMinimum Version=9\r\n"
        L"Maximum Version=any\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n";
    app.writeText(L"MyApp64.ini", settings);
    writeSettings(settings + L"[Application]\r\nPair Product=" + pair +
                  L"\r\nPair Return Code=Yes\r\n");
    options.environment.push_back(L"JAVA_HOME=" + app.file(L"jdk21"));

    EXPECT_EQ(launch({}, nullptr, options).exitCode(), -3);
    const auto logged = records();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_THAT(logged[0],
                AllOf(HasSubstr("executable: " + utf8(pair) + "\n"),
                      HasSubstr("runtime: " + utf8(app.file(dll))), HasSubstr("exit code: -3\n")));
    EXPECT_THAT(logged[1], AllOf(HasSubstr("executable: " + utf8(exe) + "\n"),
                                 HasSubstr("candidate: JAVA_HOME " + utf8(app.file(L"jdk21\\")) +
                                           " 21.0.1.0: taken\n"),
                                 HasSubstr("handed to pair: " + utf8(pair) + "\n"),
                                 HasSubstr("exit code: -3\n")));
}
#endif

TEST_F(LaunchLogTest, ConcurrentLaunchesWriteWholeRecords) {
    writeLaunchSettings(L"Virtual Machine Parameters=" + std::wstring(3000, L'x'));
    constexpr int kLaunches = 4;
    std::vector<base::UniqueKernelHandle> processes;
    std::wstring environment;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p != L'\0'; p += wcslen(p) + 1) {
        environment += p;
        environment += L'\0';
    }
    FreeEnvironmentStringsW(block);
    environment += options.environment[0] + L'\0';
    for (int i = 0; i < kLaunches; ++i) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + exe + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                   CREATE_UNICODE_ENVIRONMENT, environment.data(),
                                   app.path().c_str(), &startup, &info));
        base::UniqueKernelHandle thread(info.hThread);
        processes.emplace_back(info.hProcess);
    }
    for (const auto& process : processes) {
        EXPECT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
    }
    const auto logged = records();
    ASSERT_EQ(logged.size(), static_cast<size_t>(kLaunches));
    for (const std::string& record : logged) {
        EXPECT_EQ(record.rfind("=== launch ", 0), 0u);
        EXPECT_EQ(record.find("=== launch ", 1), std::string::npos);
        EXPECT_THAT(record, HasSubstr("exit code: 0\n"));
    }
}

}  // namespace
}  // namespace e2e

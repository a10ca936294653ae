// Single-instance mode from outside: several processes of the launcher, the first running the
// (fake) Java program, the others handing their arguments over and ending with its answer.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "base/handles_win.h"
#include "launcher/single_instance.h"
#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Starts under qemu take seconds for 32-bit processes: every wait scales with this.
constexpr DWORD kSlowness = sizeof(void*) == 4 ? 4 : 1;

// The fake program: main sleeps mainSleepMs (scaled) and then does moreMainActions;
// creating the JVM takes createSleepMs (scaled).
std::string scenario(DWORD mainSleepMs, std::string_view secondaryMain,
                     std::string_view moreMainActions = "", DWORD createSleepMs = 0) {
    return "main_class=com/example/Main\nmain=sleep:" + std::to_string(mainSleepMs * kSlowness) +
           std::string(moreMainActions) + "\nsecondary_main=" + std::string(secondaryMain) +
           "\ncreate_delay=" + std::to_string(createSleepMs * kSlowness) + "\n";
}

std::wstring commandLine(const std::wstring& exe, const std::vector<std::wstring>& arguments) {
    // The launcher's splitter knows double quotes around spaces and no escapes.
    const auto quoted = [](const std::wstring& text) {
        return text.find(L' ') == std::wstring::npos ? text : L"\"" + text + L"\"";
    };
    std::wstring line = quoted(exe);
    for (const auto& argument : arguments) line += L" " + quoted(argument);
    return line;
}

// One launcher process, ended by force if a test leaves it running.
class Started {
  public:
    Started(const std::wstring& exe, const std::vector<std::wstring>& arguments,
            const std::wstring& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::wstring line = commandLine(exe, arguments);
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &info)) {
            process_.reset(info.hProcess);
            base::UniqueKernelHandle thread(info.hThread);
        }
    }
    ~Started() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 0xDEAD);
            WaitForSingleObject(process_.get(), 10000);
        }
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    [[nodiscard]] bool started() const { return static_cast<bool>(process_); }
    // The exit code, or nullopt while the process still runs after timeoutMs.
    [[nodiscard]] std::optional<int32_t> exitCode(DWORD timeoutMs) const {
        if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<int32_t>(code);
    }

  private:
    base::UniqueKernelHandle process_;
};

class SingleInstanceTest : public LauncherTest {
  protected:
    void writeSingleInstanceSettings(std::wstring_view value = L"yes",
                                     std::wstring_view extraLines = L"") {
        writeLaunchSettings(
            L"", L"Single Instance=" + std::wstring(value) + L"\r\n" + std::wstring(extraLines));
    }

    std::unique_ptr<Started> start(const std::vector<std::wstring>& arguments = {}) {
        auto process = std::make_unique<Started>(exe, arguments, app.path());
        EXPECT_TRUE(process->started());
        return process;
    }

    // Waits until the record has a line beginning with prefix.
    bool waitForRecord(std::string_view prefix, const support::AppFolder& folder,
                       std::wstring_view jvm = kJvm) {
        for (DWORD waited = 0; waited < 60000 * kSlowness; waited += 50) {
            if (support::indexOf(folder.readRecord(jvm), prefix, true)) return true;
            Sleep(50);
        }
        return false;
    }
    bool waitForRecord(std::string_view prefix, std::wstring_view jvm = kJvm) {
        return waitForRecord(prefix, app, jvm);
    }

    // The first instance, once its main method runs.
    std::unique_ptr<Started> startFirst(std::wstring_view jvm = kJvm) {
        auto first = start({L"first"});
        EXPECT_TRUE(waitForRecord("main ", jvm)) << ::testing::PrintToString(app.readRecord(jvm));
        return first;
    }

    // The first instance, once it has set up single-instance mode and is creating its JVM.
    std::unique_ptr<Started> startFirstCreatingItsJvm() {
        auto first = start({L"first"});
        EXPECT_TRUE(waitForRecord("create version"));
        return first;
    }

    static constexpr DWORD kExitWaitMs = 120000 * kSlowness;
    static constexpr std::wstring_view kJvm = L"jre\\bin\\client\\jvm.dll";
};

TEST_F(SingleInstanceTest, SecondStartEndsWithTheAnswerAndTheFirstEndsNormally) {
    struct Case {
        const char* secondaryMain;
        int32_t answer;
    };
    for (const Case& c : {Case{"int:7", 7}, Case{"void", 0}}) {
        SCOPED_TRACE(c.secondaryMain);
        app.clearRecord();
        writeSingleInstanceSettings();
        writeScenario(scenario(6000, c.secondaryMain));
        const auto first = startFirst();
        const auto second = start({L"two words", L"caf\u00e9 \u20ac\u4e2d"});
        EXPECT_EQ(second->exitCode(kExitWaitMs), c.answer);
        // Arguments that need more than 1040 bytes are refused before anything is handed over.
        EXPECT_EQ(start({std::wstring(519, L'x')})->exitCode(kExitWaitMs), -1);
        // The first instance ends by itself once main returns: its request thread stops.
        EXPECT_EQ(first->exitCode(kExitWaitMs), 0);

        const auto record = app.readRecord();
        const auto handedOver = support::recordedArguments(record, "secondaryMain", "secondaryArg");
        ASSERT_TRUE(handedOver.has_value()) << ::testing::PrintToString(record);
        EXPECT_THAT(*handedOver, ElementsAre(u"two words", u"caf\u00e9 \u20ac\u4e2d"));
        EXPECT_EQ(support::linesAfter(record, "main ").size(), 1u) << "one JVM only";
        EXPECT_EQ(support::linesAfter(record, "detach").size(), 2u) << "main thread and worker";
    }
}

// A second start writes its own launch record, saying where its arguments went.
TEST_F(SingleInstanceTest, BothStartsWriteALaunchRecord) {
    writeSingleInstanceSettings(L"yes", L"Launch Log=launch.log\r\n");
    writeScenario(scenario(3000, "int:7"));
    const auto first = startFirst();
    EXPECT_EQ(start({L"two"})->exitCode(kExitWaitMs), 7);
    EXPECT_EQ(first->exitCode(kExitWaitMs), 0);
    const std::string log = app.readBytes(L"launch.log");
    EXPECT_EQ(support::linesAfter(support::splitLines(log), "=== launch ").size(), 2u) << log;
    EXPECT_THAT(log, AllOf(HasSubstr("second instance: arguments handed to the running instance\n"),
                           HasSubstr("exit code: 7\n"), HasSubstr("exit code: 0\n")));
}

TEST_F(SingleInstanceTest, OtherSpellingsAndServiceModeRunASecondJvm) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Yes", L""},
        {L"YES", L""},
        {L"yes", L"Application Type=service\r\n"},
    };
    for (const auto& [value, extra] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(value) + L" " + extra));
        app.clearRecord();
        writeSingleInstanceSettings(value, extra);
        writeScenario(scenario(3000, "int:7"));
        const auto first = startFirst();
        const auto second = start({L"again"});
        EXPECT_EQ(second->exitCode(kExitWaitMs), 0);
        EXPECT_EQ(first->exitCode(kExitWaitMs), 0);
        const auto record = app.readRecord();
        EXPECT_EQ(support::linesAfter(record, "main ").size(), 2u)
            << ::testing::PrintToString(record);
        EXPECT_FALSE(support::indexOf(record, "secondaryMain", true));
    }
}

TEST_F(SingleInstanceTest, CopiesInTwoFoldersRunSideBySide) {
    writeSingleInstanceSettings();
    const std::string sideBySide = scenario(3000, "int:7");
    writeScenario(sideBySide);
    support::AppFolder other(L"e2e-other");
    const std::wstring otherExe = other.copyIn(launcherPath(), L"MyApp.exe");
    other.installJvm(support::FakeJvm::Full);
    other.writeBytes(L"lib\\app.jar", "PK");
    other.writeBytes(L"MyApp.ini", app.readBytes(L"MyApp.ini"));
    other.writeScenario(sideBySide);

    const auto first = startFirst();
    Started elsewhere(otherExe, {L"other"}, other.path());
    EXPECT_EQ(elsewhere.exitCode(kExitWaitMs), 0);
    EXPECT_EQ(first->exitCode(kExitWaitMs), 0);
    EXPECT_TRUE(support::indexOf(other.readRecord(), "main ", true));
    EXPECT_FALSE(support::indexOf(app.readRecord(), "secondaryMain", true));
}

TEST_F(SingleInstanceTest, StartDuringJvmCreationIsServedOnceMainRuns) {
    writeSingleInstanceSettings();
    // Without the wait for main the request would find no JVM, go unanswered, and the second
    // start would end with the first one's 5.
    writeScenario(scenario(4000, "int:7", ",exit:5", 3000));
    const auto first = startFirstCreatingItsJvm();
    const auto second = start({L"early"});
    EXPECT_EQ(second->exitCode(kExitWaitMs), 7);
    EXPECT_EQ(first->exitCode(kExitWaitMs), 5);
    const auto record = app.readRecord();
    const auto prepared = support::indexOf(record, "checkAndLoadMain", true);
    const auto attached = support::indexOf(record, "attach");
    ASSERT_TRUE(prepared && attached) << ::testing::PrintToString(record);
    EXPECT_GT(*attached, *prepared);
}

TEST_F(SingleInstanceTest, WithoutSecondaryMainTheSecondEndsWithTheFirstsExitCode) {
    // 259 is STILL_ACTIVE: a first instance ending with it must not keep the second waiting.
    for (const int32_t exitCode : {9, 259}) {
        SCOPED_TRACE(exitCode);
        app.clearRecord();
        writeSingleInstanceSettings();
        writeScenario(scenario(4000, "none", ",exit:" + std::to_string(exitCode)));
        const auto first = startFirst();
        const auto second = start({L"unanswered"});
        EXPECT_EQ(first->exitCode(kExitWaitMs), exitCode);
        EXPECT_EQ(second->exitCode(10000 * kSlowness), exitCode);
    }
}

DWORD WINAPI endsAtOnce(void*) noexcept { return 0; }

// A block outlives its first instance while any process holds it, say a second start that is
// still ending. A start that finds such a block runs as a first start and serves the next.
TEST_F(SingleInstanceTest, ABlockWhoseFirstInstanceHasGoneIsTakenOver) {
    namespace si = launcher::single_instance;
    writeSingleInstanceSettings();
    writeScenario(scenario(4000, "int:7"));

    DWORD endedThreadId = 0;
    base::UniqueKernelHandle endedThread(
        CreateThread(nullptr, 0, &endsAtOnce, nullptr, 0, &endedThreadId));
    ASSERT_TRUE(endedThread);
    WaitForSingleObject(endedThread.get(), INFINITE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION ended{};
    std::wstring endedLine = L"cmd.exe /c exit 3";
    ASSERT_TRUE(CreateProcessW(nullptr, endedLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &ended));
    base::UniqueKernelHandle endedProcess(ended.hProcess);
    base::UniqueKernelHandle endedMainThread(ended.hThread);
    WaitForSingleObject(endedProcess.get(), INFINITE);

    struct Case {
        const char* what;
        DWORD processId;
        DWORD requestThreadId;
    };
    const Case cases[] = {
        {"its process has ended", ended.dwProcessId, ended.dwThreadId},
        {"its request thread has ended", GetCurrentProcessId(), endedThreadId},
    };
    const std::wstring name = si::instanceName(exe);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.clearRecord();
        base::UniqueKernelHandle mapping(
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                               static_cast<DWORD>(si::kBlockSize), si::mappingName(name).c_str()));
        ASSERT_TRUE(mapping);
        base::UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_TRUE(view);
        const std::span<std::uint8_t> block(static_cast<std::uint8_t*>(view.get()), si::kBlockSize);
        si::writeField(block, si::kRequestThreadIdOffset, c.requestThreadId);
        si::writeField(block, si::kProcessIdOffset, c.processId);
        si::writeField(block, si::kMessageIdOffset,
                       RegisterWindowMessageW(si::messageName(name).c_str()));

        const auto first = startFirst();
        EXPECT_EQ(start({L"again"})->exitCode(kExitWaitMs), 7);
        EXPECT_EQ(first->exitCode(kExitWaitMs), 0);
        const auto record = app.readRecord();
        const auto handedOver = support::recordedArguments(record, "secondaryMain", "secondaryArg");
        ASSERT_TRUE(handedOver.has_value()) << ::testing::PrintToString(record);
        EXPECT_THAT(*handedOver, ElementsAre(u"again"));
    }
}

TEST_F(SingleInstanceTest, HandOverWaitsWhileAnotherStartHoldsTheArgumentArea) {
    writeSingleInstanceSettings();
    writeScenario(scenario(60000, "int:args"));
    const auto first = startFirst();
    // This test stands in for a start that is handing over right now.
    namespace si = launcher::single_instance;
    base::UniqueKernelHandle mutex(
        CreateMutexW(nullptr, TRUE, si::handOverMutexName(si::instanceName(exe)).c_str()));
    ASSERT_TRUE(mutex);
    // Taken once more in case the mutex existed and the initial ownership was not granted.
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    const auto second = start({L"42"});
    EXPECT_EQ(second->exitCode(2000 * kSlowness), std::nullopt);
    EXPECT_FALSE(support::indexOf(app.readRecord(), "secondaryMain", true));
    ReleaseMutex(mutex.get());
    ReleaseMutex(mutex.get());
    EXPECT_EQ(second->exitCode(kExitWaitMs), 42);
}

TEST_F(SingleInstanceTest, TwentySimultaneousStartsEachGetTheirOwnAnswer) {
    writeSingleInstanceSettings();
    // The answer is the number the first argument begins with. The starts hand over while the
    // first is still creating its JVM, so every request waits for main and all are served
    // together.
    writeScenario(scenario(300000, "int:args", "", 3000));
    const auto first = startFirstCreatingItsJvm();
    constexpr int kStarts = 20;
    std::vector<std::unique_ptr<Started>> seconds;
    for (int i = 0; i < kStarts; ++i) {
        seconds.push_back(
            start({std::to_wstring(100 + i), L"payload \u00fc " + std::to_wstring(100 + i)}));
        // Wine under qemu crashes when many 32-bit processes start at the same instant.
        if (kSlowness > 1) Sleep(250);
    }
    for (int i = 0; i < kStarts; ++i) {
        EXPECT_EQ(seconds[static_cast<std::size_t>(i)]->exitCode(kExitWaitMs * 2), 100 + i)
            << "start " << i;
    }
    const auto record = app.readRecord();
    std::size_t calls = 0;
    while (const auto arguments =
               support::recordedArguments(record, "secondaryMain", "secondaryArg", calls)) {
        ASSERT_EQ(arguments->size(), 2u);
        EXPECT_EQ((*arguments)[1], u"payload \u00fc " + (*arguments)[0]);
        ++calls;
    }
    EXPECT_EQ(calls, static_cast<std::size_t>(kStarts));
}

#ifdef PAIR_LAUNCHER_EXE
// The 32-bit launcher finds a 64-bit runtime and hands the launch to its pair, whose program
// serves the second starts.
TEST_F(SingleInstanceTest, SecondStartsReachTheProgramOfThePair) {
    constexpr std::wstring_view kJvm64 = L"rt64\\bin\\client\\jvm.dll";
    const std::wstring pair = app.copyIn(support::windowsPathOf(PAIR_LAUNCHER_EXE), L"MyApp64.exe");
    app.copyIn(support::windowsPathOf(PAIR_BUILD_DIR) + L"\\tests\\support\\fakejvm.dll",
               std::wstring(kJvm64));
    const std::wstring common =
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nJRE Path=" +
        app.file(L"rt64") +
        L"\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n"
        L"[Application]\r\nSingle Instance=yes\r\n";
    app.writeText(L"MyApp64.ini", common);

    for (const bool pairReturnCode : {true, false}) {
        SCOPED_TRACE(pairReturnCode ? "Pair Return Code=Yes" : "without Pair Return Code");
        app.clearRecord(kJvm64);
        writeSettings(common + L"Pair Product=" + pair + L"\r\n" +
                      (pairReturnCode ? L"Pair Return Code=Yes\r\n" : L""));
        app.writeScenario(scenario(15000, "int:7"), kJvm64);
        const auto first = startFirst(kJvm64);
        const auto second = start({L"two words"});
        // The answer comes from the pair's program while it still runs.
        EXPECT_EQ(second->exitCode(12000 * kSlowness), pairReturnCode ? 7 : 0);
        if (pairReturnCode) {
            EXPECT_EQ(first->exitCode(0), std::nullopt);
        }
        EXPECT_TRUE(waitForRecord("secondaryMain", kJvm64));
        EXPECT_EQ(first->exitCode(kExitWaitMs), 0);
        // Without Pair Return Code nobody waits for the pair's processes: let them end before
        // the folder goes.
        EXPECT_TRUE(waitForRecord("destroyed", kJvm64));
        Sleep(500);
        const auto record = app.readRecord(kJvm64);
        const auto handedOver = support::recordedArguments(record, "secondaryMain", "secondaryArg");
        ASSERT_TRUE(handedOver.has_value()) << ::testing::PrintToString(record);
        EXPECT_THAT(*handedOver, ElementsAre(u"two words"));
        EXPECT_EQ(support::linesAfter(record, "main ").size(), 1u) << "one JVM only";
        EXPECT_TRUE(app.readRecord().empty()) << "the 32-bit launcher loads no JVM";
    }
}
#endif

}  // namespace
}  // namespace e2e

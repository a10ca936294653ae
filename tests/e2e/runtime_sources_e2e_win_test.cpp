// Runtimes no registry key names: found through JAVA_HOME, the Path and the vendors'
// installation folders, which the tests point at the application folder through the variables
// the launcher reads.
#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

class RuntimeSourcesTest : public LauncherTest {
  protected:
    static support::WindowAction cancelJreDialog(const support::WindowInfo& window) {
        return window.hasButton(IDCANCEL) ? support::WindowAction::click(IDCANCEL)
                                          : support::WindowAction::leave();
    }

    RuntimeSourcesTest() {
        support::removeTree(app.file(L"jre"));  // nothing beside the executable
        // Program folders of the test's own, so that the machine's real ones play no part.
        for (const wchar_t* name : {L"ProgramW6432", L"ProgramFiles(x86)", L"ProgramFiles"}) {
            environment.push_back(std::wstring(name) + L"=" + app.file(L"programs"));
        }
        environment.push_back(L"LOCALAPPDATA=" + app.file(L"local"));
        environment.push_back(L"JAVA_HOME=");
        environment.push_back(L"JDK_HOME=");
    }

    // A runtime folder with a "release" file and the fake JVM as its server library; returns
    // the library's path relative to the application folder.
    std::wstring addRuntime(const std::wstring& folder, const char* version,
                            const std::wstring& below = L"") {
        app.writeBytes(folder + L"release", std::string("JAVA_VERSION=\"") + version + "\"\n");
        const std::wstring dll = folder + below + L"bin\\server\\jvm.dll";
        app.installJvm(support::FakeJvm::Full, dll, true);
        app.writeScenario("main_class=com/example/Main\n", dll);
        return dll;
    }

    // The libraries among `libraries` that a launch with these settings and variables loaded.
    std::vector<std::wstring> loaded(const std::wstring& settings,
                                     const std::vector<std::wstring>& variables,
                                     const std::vector<std::wstring>& libraries,
                                     int32_t* exitCode = nullptr) {
        // The first occurrence of a key wins: the test's settings go before the defaults.
        writeLaunchSettings(settings + L"\r\nMinimum Version=any\r\nMaximum Version=any\r\n");
        for (const auto& dll : libraries) app.clearRecord(dll);
        support::RunOptions options;
        options.environment = environment;
        options.environment.insert(options.environment.end(), variables.begin(), variables.end());
        const Launch result = launch({}, cancelJreDialog, options);
        if (exitCode) *exitCode = result.exitCode();
        std::vector<std::wstring> found;
        for (const auto& dll : libraries) {
            if (!app.readRecord(dll).empty()) found.push_back(dll);
        }
        return found;
    }

    std::vector<std::wstring> environment;
};

TEST_F(RuntimeSourcesTest, JavaHomeWithTrailingBackslashAndAJdk8) {
    const auto jdk17 = addRuntime(L"zip\\jdk-17.0.9\\", "17.0.9");
    const auto jdk8 = addRuntime(L"zip\\jdk8u392\\", "1.8.0_392", L"jre\\");
    app.writeBytes(L"zip\\jdk8u392\\bin\\javac.exe", "MZ");
    const std::vector<std::wstring> both{jdk17, jdk8};
    const std::wstring home17 = L"JAVA_HOME=" + app.file(L"zip\\jdk-17.0.9\\");
    const std::wstring home8 = L"JDK_HOME=" + app.file(L"zip\\jdk8u392");

    EXPECT_THAT(loaded(L"", {home17, home8}, both), ::testing::ElementsAre(jdk17));
    EXPECT_THAT(loaded(L"Maximum Version=1.8", {home17, home8}, both),
                ::testing::ElementsAre(jdk8));
    int32_t exitCode = 0;
    EXPECT_THAT(loaded(L"Runtime Sources=Registry;Path", {home17, home8}, both, &exitCode),
                ::testing::IsEmpty());
    EXPECT_EQ(exitCode, -1);
}

TEST_F(RuntimeSourcesTest, FirstJavaOnPathQuotedAfterMissingAndFileEntries) {
    const auto jdk21 = addRuntime(L"path; dir\\jdk-21\\", "21.0.1");
    const auto jdk22 = addRuntime(L"later\\jdk-22\\", "22");
    app.writeBytes(L"path; dir\\jdk-21\\bin\\javaw.exe", "MZ");
    app.writeBytes(L"later\\jdk-22\\bin\\java.exe", "MZ");
    wchar_t systemPath[4096] = L"";
    GetEnvironmentVariableW(L"Path", systemPath, 4096);
    const std::wstring path = L"Path=" + app.file(L"missing\\bin") + L";" +
                              app.file(L"later\\jdk-22\\bin\\java.exe") + L";\"" +
                              app.file(L"path; dir\\jdk-21\\bin") + L"\";" +
                              app.file(L"later\\jdk-22\\bin") + L";" + systemPath;
    // The later entry is a newer runtime, but only the first java.exe counts.
    EXPECT_THAT(loaded(L"", {path}, {jdk21, jdk22}), ::testing::ElementsAre(jdk21));
}

TEST_F(RuntimeSourcesTest, VendorFoldersAndAnotherMachinesRuntime) {
    const auto zulu17 = addRuntime(L"programs\\Zulu\\zulu-17\\", "17.0.9");
    const auto corretto11 = addRuntime(L"local\\Programs\\Amazon Corretto\\jdk11\\", "11.0.21");
    // Newer, but built for the other machine, and no pair to hand it to.
    app.writeBytes(L"programs\\Eclipse Adoptium\\jdk-21-hotspot\\release",
                   "JAVA_VERSION=\"21.0.1\"\n");
    app.copyIn(support::windowsPathOf(FOREIGN_LIBRARY),
               L"programs\\Eclipse Adoptium\\jdk-21-hotspot\\bin\\server\\jvm.dll");
    const std::vector<std::wstring> both{zulu17, corretto11};
    const std::wstring javaHome = L"JAVA_HOME=" + app.file(L"programs\\Zulu\\zulu-17");

    EXPECT_THAT(loaded(L"", {}, both), ::testing::ElementsAre(zulu17));
    EXPECT_THAT(loaded(L"Maximum Version=11", {}, both), ::testing::ElementsAre(corretto11));
    // Named by JAVA_HOME as well, and listed in either order.
    EXPECT_THAT(loaded(L"Runtime Sources=Folders;JAVA_HOME", {javaHome}, both),
                ::testing::ElementsAre(zulu17));
}

}  // namespace
}  // namespace e2e

// Where two features meet: the JRE-not-found dialog with runtimes of either machine, with and
// without a pair; a service with a relative pair; the class path and the working folder.
#include <windows.h>

#include "tests/e2e/jre_dialog_script_win.h"
#include "tests/e2e/launcher_fixture_win.h"
#include "tests/support/window_script_win.h"

#include <optional>

#include "resources/resource_ids.h"

namespace e2e {
namespace {

constexpr wchar_t kSection[] = L"Java Runtime Environment";

std::string narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) result.push_back(static_cast<char>(c));  // ASCII paths only
    return result;
}

std::wstring profileValue(const std::wstring& file) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(kSection, L"JRE Path", L"", value, 1024, file.c_str());
    return value;
}

// No runtime anywhere the search looks ("JVM Source" names no kind), a per-user folder, and
// runtimes of both machines to pick: rt32 (this launcher's) and rt64 (the pair tree's).
class FeaturePairs : public LauncherTest {
  protected:
    FeaturePairs() {
        support::removeTree(app.file(L"jre"));
        CreateDirectoryW(app.file(L"appdata").c_str(), nullptr);
        options.environment.push_back(L"APPDATA=" + app.file(L"appdata"));
        app.installJvm(support::FakeJvm::Full, L"rt32\\bin\\client\\jvm.dll", false);
        app.writeScenario("main_class=com/example/Main\n", L"rt32\\bin\\client\\jvm.dll");
    }

    static std::wstring settingsText(std::wstring_view applicationLines) {
        return L"[Product Information]\r\nProduct Name=Pairs\r\nProduct Code=FP1\r\n"
               L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
               L"JVM Source=neither\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n"
               L"[Application]\r\n" +
               std::wstring(applicationLines) + L"\r\n";
    }

    std::wstring perUserFile(std::wstring_view name = L"MyApp.ini") const {
        return app.file(L"appdata\\Pairs\\FP1\\" + std::wstring(name));
    }

    support::RunOptions options;
};

#ifdef PAIR_BUILD_DIR
std::wstring installPairRuntime(support::AppFolder& app, const std::wstring& folder) {
    const std::wstring dll = folder + L"\\bin\\client\\jvm.dll";
    app.copyIn(support::windowsPathOf(PAIR_BUILD_DIR) + L"\\tests\\support\\fakejvm.dll", dll);
    return dll;
}

// Without a pair, a 64-bit runtime cannot be confirmed in the 32-bit launcher's dialog, and the
// dialog says why; a 32-bit pick then gives OK back and the usual hint line.
TEST_F(FeaturePairs, DialogWithoutPairRefusesAnotherMachinesRuntime) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    installPairRuntime(app, L"rt64");
    writeSettings(settingsText(L""));
    std::optional<JreDialogState> atStart, after64, after32;
    const auto result = launch(
        {},
        [&](const support::WindowInfo& window) {
            if (!isJreDialog(window)) return support::WindowAction::leave();
            atStart = jreDialogStateOf(window);
            if (browseTo(window, app.file(L"rt64")))
                after64 = jreDialogStateOf(window, app.file(L"rt64"));
            if (browseTo(window, app.file(L"rt32")))
                after32 = jreDialogStateOf(window, app.file(L"rt32"));
            return support::WindowAction::click(IDCANCEL);
        },
        options);
    ASSERT_TRUE(atStart && after64 && after32) << "the folder browser could not be worked";
    EXPECT_EQ(after64->path, app.file(L"rt64"));
    EXPECT_FALSE(after64->okEnabled);
    EXPECT_EQ(after64->hint, L"This JRE is 64-bit; a 32-bit JRE is needed:");
    EXPECT_TRUE(after32->okEnabled);
    EXPECT_EQ(after32->hint, atStart->hint);
    EXPECT_EQ(result.exitCode(), -1);
    EXPECT_FALSE(app.exists(L"appdata\\Pairs")) << "nothing may be written";
}

// A remembered "JRE Path" that only a pair could run, and no pair: the start-up passes it over,
// so the dialog comes instead of a load failure on every start; the new pick replaces it.
TEST_F(FeaturePairs, RememberedRuntimeOfAnotherMachineWithoutPairBringsTheDialogBack) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    installPairRuntime(app, L"rt64");
    writeSettings(settingsText(L""));
    app.writeText(L"appdata\\Pairs\\FP1\\MyApp.ini",
                  L"[Java Runtime Environment]\r\nJRE Path=" + app.file(L"rt64") + L"\r\n");
    int dialogs = 0;
    const auto result = launch({}, pickingFolder(app.file(L"rt32"), dialogs), options);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(result.errorTexts().empty()) << testing::PrintToString(result.errorTexts());
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_FALSE(app.readRecord(L"rt32\\bin\\client\\jvm.dll").empty());
    EXPECT_EQ(profileValue(perUserFile()), app.file(L"rt32\\"));
}

// A service whose pair is named relative to its folder: the pick reaches the pair's own settings
// file beside it (not a bare name in the Windows folder), so the pair finds it and runs.
TEST_F(FeaturePairs, ServiceWithRelativePairRemembersThePickBesideTheExecutable) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    app.copyIn(support::windowsPathOf(PAIR_LAUNCHER_EXE), L"MyApp64.exe");
    installPairRuntime(app, L"rt64");
    app.writeScenario("main_class=com/example/Main\nmain=exit:-3\n", L"rt64\\bin\\client\\jvm.dll");
    app.writeText(L"MyApp64.ini", settingsText(L"Application Type=service"));
    writeSettings(settingsText(
        L"Application Type=service\r\nPair Product=MyApp64.exe\r\nPair Return Code=Yes"));
    wchar_t windowsFolder[MAX_PATH] = {};
    GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    const std::wstring stray = std::wstring(windowsFolder) + L"\\MyApp64.ini";
    DeleteFileW(stray.c_str());

    int dialogs = 0;
    const auto result = launch({}, pickingFolder(app.file(L"rt64"), dialogs), options);
    const DWORD strayAttributes = GetFileAttributesW(stray.c_str());
    DeleteFileW(stray.c_str());
    EXPECT_EQ(dialogs, 1) << "the pair must find the pick without asking again";
    EXPECT_EQ(result.exitCode(), -3) << "the pair ran the program";
    EXPECT_EQ(profileValue(app.file(L"MyApp64.ini")), app.file(L"rt64\\"));
    EXPECT_EQ(profileValue(app.file(L"MyApp.ini")), app.file(L"rt64\\"));
    EXPECT_EQ(strayAttributes, INVALID_FILE_ATTRIBUTES) << "nothing in the Windows folder";
}
#endif

// A runtime folder whose name lies outside the ANSI code page is remembered as it is: the new
// per-user file is Unicode, so the next start finds the runtime without the dialog.
TEST_F(FeaturePairs, PickOutsideTheCodePageIsRememberedInAUnicodeFile) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    const std::wstring folder = L"rt \u03a3\u03bf\u03c6\u03af\u03b1 \u4e2d";
    const std::wstring dll = folder + L"\\bin\\client\\jvm.dll";
    app.installJvm(support::FakeJvm::Full, dll, false);
    app.writeScenario("main_class=com/example/Main\n", dll);
    writeSettings(settingsText(L""));
    int dialogs = 0;
    const auto first = launch({}, pickingFolder(app.file(folder), dialogs), options);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(app.readBytes(L"appdata\\Pairs\\FP1\\MyApp.ini").substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(profileValue(perUserFile()), app.file(folder + L"\\"));

    app.clearRecord(dll);
    int windows = 0;
    const auto second = launch(
        {},
        [&](const support::WindowInfo&) {
            ++windows;
            return support::WindowAction::close();
        },
        options);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(windows, 0) << "the remembered runtime needs no dialog";
    EXPECT_FALSE(app.readRecord(dll).empty());
}

// The class path as the runtime receives it: no empty element (the current folder to Java),
// however the setting's separators and variables fall; "." only where the setting says so.
TEST_F(LauncherTest, ClassPathMeetsTheWorkingFolderOnlyWhenAskedTo) {
    struct Case {
        const wchar_t* setting;
        std::string expected;
    };
    const std::string jar = narrow(app.file(L"lib\\app.jar"));
    const Case cases[] = {
        {L";\\lib\\app.jar;;%FEATURE_PAIRS_EMPTY%;", jar},
        {L"%FEATURE_PAIRS_LIST%;\\lib\\app.jar", "C:\\one.jar;C:\\two.jar;" + jar},
        {L"\\lib\\app.jar;.", jar + ";."},
    };
    support::RunOptions options;
    options.environment = {L"FEATURE_PAIRS_LIST=C:\\one.jar;;C:\\two.jar;"};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.setting)));
        app.clearRecord();
        writeSettings(std::wstring(L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
                                   L"[Class Path]\r\nClass Path=") +
                      c.setting + L"\r\n");
        const auto result = launch({}, nullptr, options);
        ASSERT_EQ(result.exitCode(), 0);
        const auto recorded = support::recordedOptions(result.record);
        ASSERT_FALSE(recorded.empty());
        EXPECT_EQ(recorded[0], "-Djava.class.path=" + c.expected);
    }
}

}  // namespace
}  // namespace e2e

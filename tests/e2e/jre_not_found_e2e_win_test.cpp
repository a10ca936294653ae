// The JRE-not-found dialog of the real launcher: its message, cancelling, browsing for a runtime
// with the shell's folder browser, remembering the pick, and the download link.
#include <windows.h>

#include "tests/e2e/launcher_fixture_win.h"
#include "tests/support/window_script_win.h"

#include <optional>

#include "resources/resource_ids.h"

namespace e2e {
namespace {

constexpr wchar_t kDialogTitle[] = L"JRE Not Found";

bool isJreDialog(const support::WindowInfo& window) {
    return window.isDialog() && window.title == kDialogTitle;
}

// A shell folder browser: a dialog holding a tree view.
bool isFolderBrowser(const support::WindowInfo& window) {
    if (!window.isDialog() || window.title == kDialogTitle) return false;
    for (const auto& control : window.controls) {
        if (control.className == L"SysTreeView32") return true;
    }
    return false;
}

std::wstring outputFile(const std::wstring& name) {
    const std::wstring folder = support::windowsPathOf(E2E_OUTPUT_DIR);
    CreateDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
}

// A launch with no runtime anywhere: nothing beside the executable and no registry key searched
// (a "JVM Source" that names no kind).
class JreNotFoundTest : public LauncherTest {
  protected:
    JreNotFoundTest() {
        support::removeTree(app.file(L"jre"));
        options.environment.push_back(L"APPDATA=" + app.file(L"appdata"));
    }

    void writeSettingsWithoutRuntime(std::wstring_view jreLines = L"",
                                     std::wstring_view applicationLines = L"") {
        writeLaunchSettings(L"JVM Source=neither\r\n" + std::wstring(jreLines), applicationLines);
    }

    support::RunOptions options;
};

// Opens the folder browser with the Browse button, picks `folder` there and waits until the
// browser is gone. False when a step failed.
bool browseTo(const support::WindowInfo& dialog, const std::wstring& folder) {
    PostMessageW(dialog.handle, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0);
    HWND browser = support::waitForProcessWindow(dialog.processId, isFolderBrowser);
    if (browser == nullptr) return false;
    // The browser fills its tree after it shows; a selection made before that is lost, and a
    // second one does no harm.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Sleep(500);
        if (!support::selectFolderInBrowser(browser, dialog.processId, folder)) return false;
    }
    Sleep(300);
    PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return support::waitUntilClosed(browser);
}

struct DialogState {
    std::wstring path;
    bool okEnabled = false;
};

DialogState stateOf(const support::WindowInfo& dialog) {
    Sleep(200);
    return {support::textOf(GetDlgItem(dialog.handle, IDC_JRE_PATH_EDIT)),
            IsWindowEnabled(GetDlgItem(dialog.handle, IDOK)) != FALSE};
}

struct MessageCase {
    const wchar_t* settings;
    const wchar_t* phrase;
    bool serverJvm;
};

TEST_F(JreNotFoundTest, MessageNamesTheRuntimeAndCancelOrCloseWriteNothing) {
    const std::vector<MessageCase> cases = {
        {L"JVM Type=server\r\n", L"latest version", true},
        {L"Minimum Version=1.8\r\n", L"minimum version 1.8", false},
        {L"JVM Type=favor_server\r\nMaximum Version=1.7\r\n", L"maximum version 1.7", false},
        {L"Minimum Version=1.8.0.151\r\nMaximum Version=1.8.0.151\r\n",
         L"version 1.8.0.151 is required", false},
        {L"JVM Type=server\r\nMinimum Version=1.7\r\nMaximum Version=1.7\r\n",
         L"version between 1.7 and 1.7", true},
    };
    bool closeBox = false;
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.phrase);
        writeSettingsWithoutRuntime(c.settings);
        const std::string settingsBefore = app.readBytes(L"MyApp.ini");
        std::optional<support::WindowInfo> dialog;
        const auto result = launch(
            {},
            [&](const support::WindowInfo& window) {
                if (!isJreDialog(window)) return support::WindowAction::leave();
                dialog = window;
                return closeBox ? support::WindowAction::close()
                                : support::WindowAction::click(IDCANCEL);
            },
            options);
        ASSERT_TRUE(dialog.has_value());
        const std::wstring expected =
            std::wstring(
                L"The Java Runtime Environment (JRE) was not found. Please  download and "
                L"install a JRE") +
            (c.serverJvm ? L" with a server JVM" : L"") + L" (" + c.phrase + L") from:";
        ASSERT_NE(dialog->control(IDC_MESSAGE_TEXT), nullptr);
        EXPECT_EQ(dialog->control(IDC_MESSAGE_TEXT)->text, expected);
        EXPECT_EQ(dialog->control(IDC_DOWNLOAD_LINK)->text, L"" JAVA_DOWNLOAD_LABEL);
        EXPECT_EQ(result.exitCode(), -1);
        EXPECT_EQ(app.readBytes(L"MyApp.ini"), settingsBefore);
        EXPECT_FALSE(app.exists(L"appdata")) << "nothing may be written";
        closeBox = !closeBox;
    }
}

TEST_F(JreNotFoundTest, BrowsedRuntimeIsUsedRememberedAndFoundAgainWithoutTheDialog) {
    const std::wstring clientOnly = app.file(L"client only");
    const std::wstring picked = app.file(L"picked runtime");
    app.installJvm(support::FakeJvm::Full, L"client only\\bin\\client\\jvm.dll", false);
    app.installJvm(support::FakeJvm::Full, L"picked runtime\\bin\\server\\jvm.dll", false);
    const std::wstring pickedDll = L"picked runtime\\bin\\server\\jvm.dll";
    app.writeScenario("main_class=com/example/Main\n", pickedDll);
    writeSettingsWithoutRuntime(L"JVM Type=server\r\n");

    std::optional<DialogState> afterClientOnly;
    std::optional<DialogState> afterGoodPick;
    std::optional<DialogState> atStart;
    const auto first = launch(
        {},
        [&](const support::WindowInfo& window) {
            if (!isJreDialog(window)) return support::WindowAction::leave();
            atStart = stateOf(window);
            support::saveWindowPicture(window.handle, outputFile(L"jre-dialog-before-pick.png"));
            if (browseTo(window, clientOnly)) afterClientOnly = stateOf(window);
            if (browseTo(window, picked)) afterGoodPick = stateOf(window);
            support::saveWindowPicture(window.handle, outputFile(L"jre-dialog-after-pick.png"));
            return support::WindowAction::click(IDOK);
        },
        options);

    ASSERT_TRUE(atStart.has_value());
    EXPECT_EQ(atStart->path, L"");
    EXPECT_FALSE(atStart->okEnabled);
    ASSERT_TRUE(afterClientOnly.has_value()) << "the folder browser could not be worked";
    EXPECT_EQ(afterClientOnly->path, clientOnly);
    EXPECT_FALSE(afterClientOnly->okEnabled) << "a client JVM does not do for JVM Type server";
    ASSERT_TRUE(afterGoodPick.has_value());
    EXPECT_EQ(afterGoodPick->path, picked) << "shown as the shell names it";
    EXPECT_TRUE(afterGoodPick->okEnabled);

    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(app.readRecord(pickedDll).empty()) << "the picked runtime runs the program";
    const std::wstring perUser = app.file(L"appdata\\MyApp.ini");
    wchar_t remembered[MAX_PATH] = {};
    GetPrivateProfileStringW(L"Java Runtime Environment", L"JRE Path", L"", remembered, MAX_PATH,
                             perUser.c_str());
    EXPECT_EQ(std::wstring(remembered), picked + L"\\");

    app.clearRecord(pickedDll);
    std::vector<std::wstring> titles;
    const auto second = launch(
        {},
        [&](const support::WindowInfo& window) {
            titles.push_back(window.title);
            return support::WindowAction::close();
        },
        options);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(titles.empty()) << "the remembered runtime needs no dialog";
    EXPECT_FALSE(app.readRecord(pickedDll).empty());
}

}  // namespace
}  // namespace e2e

// The JRE-not-found dialog of the real launcher: its message, cancelling, browsing for a runtime
// with the shell's folder browser, remembering the pick, and the download link.
#include <windows.h>

#include "tests/e2e/jre_dialog_script_win.h"
#include "tests/e2e/launcher_fixture_win.h"
#include "tests/support/window_script_win.h"

#include <optional>

#include "resources/resource_ids.h"

namespace e2e {
namespace {

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
        // The user's application-data folder exists; the launcher creates only its own below.
        CreateDirectoryW(app.file(L"appdata").c_str(), nullptr);
        options.environment.push_back(L"APPDATA=" + app.file(L"appdata"));
    }

    void writeSettingsWithoutRuntime(std::wstring_view jreLines = L"",
                                     std::wstring_view applicationLines = L"") {
        writeLaunchSettings(L"JVM Source=neither\r\n" + std::wstring(jreLines), applicationLines);
    }

    support::RunOptions options;
};

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
                // OK is disabled without a pick; a command sent past the button changes nothing.
                PostMessageW(window.handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                Sleep(300);
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
        EXPECT_TRUE(result.errorTexts().empty());
        EXPECT_EQ(app.readBytes(L"MyApp.ini"), settingsBefore);
        EXPECT_FALSE(app.exists(L"appdata\\MyApp.ini")) << "nothing may be written";
        closeBox = !closeBox;
    }
}

TEST_F(JreNotFoundTest, BrowsedRuntimeIsUsedRememberedAndFoundAgainWithoutTheDialog) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    const std::wstring clientOnly = app.file(L"client only");
    const std::wstring picked = app.file(L"picked runtime");
    app.installJvm(support::FakeJvm::Full, L"client only\\bin\\client\\jvm.dll", false);
    app.installJvm(support::FakeJvm::Full, L"picked runtime\\bin\\server\\jvm.dll", false);
    const std::wstring pickedDll = L"picked runtime\\bin\\server\\jvm.dll";
    app.writeScenario("main_class=com/example/Main\n", pickedDll);
    writeSettingsWithoutRuntime(L"JVM Type=server\r\n");

    std::optional<JreDialogState> afterClientOnly;
    std::optional<JreDialogState> afterGoodPick;
    std::optional<JreDialogState> afterBadRepick;
    std::optional<JreDialogState> atStart;
    const auto first = launch(
        {},
        [&](const support::WindowInfo& window) {
            if (!isJreDialog(window)) return support::WindowAction::leave();
            atStart = jreDialogStateOf(window);
            support::saveWindowPicture(window.handle, outputFile(L"jre-dialog-before-pick.png"));
            if (browseTo(window, clientOnly)) afterClientOnly = jreDialogStateOf(window);
            if (browseTo(window, picked)) afterGoodPick = jreDialogStateOf(window);
            support::saveWindowPicture(window.handle, outputFile(L"jre-dialog-after-pick.png"));
            // An unusable pick after a good one takes OK away again; the good one gives it back.
            if (browseTo(window, clientOnly)) afterBadRepick = jreDialogStateOf(window);
            browseTo(window, picked);
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
    ASSERT_TRUE(afterBadRepick.has_value());
    EXPECT_FALSE(afterBadRepick->okEnabled);

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

#ifdef PAIR_LAUNCHER_EXE
// A 64-bit runtime picked in a 32-bit launcher's dialog goes to the paired launcher, which finds
// it through the "JRE Path" remembered for it as well.
TEST_F(JreNotFoundTest, SixtyFourBitPickHandsOverToThePairWhichFindsItRemembered) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    const std::wstring pair = app.copyIn(support::windowsPathOf(PAIR_LAUNCHER_EXE), L"MyApp64.exe");
    app.copyIn(support::windowsPathOf(PAIR_BUILD_DIR) + L"\\tests\\support\\fakejvm.dll",
               L"rt64\\bin\\client\\jvm.dll");
    app.writeScenario("main_class=com/example/Main\nmain=exit:-3\n", L"rt64\\bin\\client\\jvm.dll");
    const std::wstring common =
        L"[Product Information]\r\nProduct Name=Pair Test\r\nProduct Code=PT1\r\n"
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nJVM Source=neither\r\n"
        L"[Class Path]\r\nClass Path=\\lib\\app.jar\r\n";
    app.writeText(L"MyApp64.ini", common);
    writeSettings(common + L"[Application]\r\nPair Product=" + pair +
                  L"\r\nPair Return Code=Yes\r\n");

    int dialogs = 0;
    const auto result = launch({}, pickingFolder(app.file(L"rt64"), dialogs), options);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(result.exitCode(), -3) << "the pair ran the program";
    EXPECT_FALSE(app.readRecord(L"rt64\\bin\\client\\jvm.dll").empty());
    wchar_t remembered[MAX_PATH] = {};
    GetPrivateProfileStringW(L"Java Runtime Environment", L"JRE Path", L"", remembered, MAX_PATH,
                             app.file(L"appdata\\Pair Test\\PT1\\MyApp64.ini").c_str());
    EXPECT_EQ(std::wstring(remembered), app.file(L"rt64\\"));
}
#endif

std::wstring fromUtf16(const std::string& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

TEST_F(JreNotFoundTest, ServiceRemembersThePickInTheMainFileKeepingItsEncodingAndComments) {
    SKIP_UNLESS_FOLDERS_CAN_BE_PICKED();
    app.installJvm(support::FakeJvm::Full, L"rt\\bin\\client\\jvm.dll", false);
    app.writeScenario("main_class=com/example/Main\n", L"rt\\bin\\client\\jvm.dll");
    const std::vector<std::wstring> lines = {
        L"; settings of MyApp, kept by hand",
        L"[Java Runtime Environment]",
        L"Main Class=com.example.Main",
        L"# the runtime is chosen by the user",
        L"JVM Source=neither",
        L"[Class Path]",
        L"Class Path=\\lib\\app.jar",
        L"; Grüße",
        L"[Application]",
        L"Application Type=service",
    };
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    writeSettings(text);

    int dialogs = 0;
    const auto result = launch({}, pickingFolder(app.file(L"rt"), dialogs), options);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(result.exitCode(), 0);
    EXPECT_FALSE(app.exists(L"appdata\\MyApp.ini")) << "a service has no per-user file";

    const std::string bytes = app.readBytes(L"MyApp.ini");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "still UTF-16 with its byte-order mark";
    const std::wstring after = fromUtf16(bytes.substr(2));
    std::size_t position = 0;
    for (const auto& line : lines) {
        const std::size_t found = after.find(line + L"\r\n", position);
        EXPECT_NE(found, std::wstring::npos) << "kept in its place: " << line;
        if (found != std::wstring::npos) position = found;
    }
    const std::wstring remembered = L"JRE Path=" + app.file(L"rt\\") + L"\r\n";
    const std::size_t written = after.find(remembered);
    ASSERT_NE(written, std::wstring::npos) << after;
    EXPECT_LT(written, after.find(L"[Class Path]")) << "in section Java Runtime Environment";
}

// A registry value that a test sets for its duration; the earlier value (or none) comes back.
class RegistryValueOverride {
  public:
    RegistryValueOverride(HKEY root, std::wstring key, const wchar_t* name,
                          const std::wstring& value)
        : root_(root), key_(std::move(key)), name_(name == nullptr ? L"" : name) {
        wchar_t old[1024] = {};
        DWORD size = sizeof old;
        if (RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_REG_SZ, nullptr, old, &size) ==
            ERROR_SUCCESS) {
            previous_ = old;
        }
        set(value);
    }
    ~RegistryValueOverride() {
        if (previous_) {
            set(*previous_);
        } else {
            RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str());
        }
    }
    RegistryValueOverride(const RegistryValueOverride&) = delete;
    RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

    void set(const std::wstring& value) {
        RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

  private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    std::optional<std::wstring> previous_;
};

HCURSOR cursorNow() {
    Sleep(400);
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

std::vector<std::string> linesOf(const support::AppFolder& app, std::wstring_view file) {
    std::vector<std::string> lines;
    std::string text = app.readBytes(file);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Waits up to ten seconds for the recorder to have written `count` lines.
std::vector<std::string> awaitLines(const support::AppFolder& app, std::wstring_view file,
                                    std::size_t count) {
    for (int i = 0; i < 100 && linesOf(app, file).size() < count; ++i) Sleep(100);
    return linesOf(app, file);
}

TEST_F(JreNotFoundTest, DownloadLinkShowsHandAndTooltipAndOpensThePageThroughTheShell) {
    writeSettingsWithoutRuntime();
    constexpr COLORREF kLinkGreen = RGB(0, 128, 0);
    constexpr COLORREF kVisitedRed = RGB(128, 0, 0);
    const std::wstring settingsKey = L"Software\\Microsoft\\Internet Explorer\\Settings";
    const RegistryValueOverride linkColor(HKEY_CURRENT_USER, settingsKey, L"Anchor Color",
                                          L"0, 128, 0");
    const RegistryValueOverride visitedColor(HKEY_CURRENT_USER, settingsKey,
                                             L"Anchor Color Visited", L"128,0,0");
    // The recorder stands in for the browser. (Wine reads protocol handlers from the machine's
    // classes only.)
    const std::wstring recorder = support::windowsPathOf(OPEN_RECORDER_EXE);
    const RegistryValueOverride browser(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", nullptr,
                                        L"\"" + recorder + L"\" %1");
    options.environment.push_back(L"OPEN_RECORD=" + app.file(L"opened.txt"));

    struct Seen {
        HCURSOR arrow = nullptr, overText = nullptr, besideText = nullptr;
        std::wstring toolTip;
        bool linkColorAtStart = false, visitedAfterOpen = false, greyWhenDisabled = false;
        std::vector<std::string> afterClick, afterSpace, afterEnter, afterMisses;
    } seen;
    const std::string url = JAVA_DOWNLOAD_URL;
    launch(
        {},
        [&](const support::WindowInfo& dialog) {
            if (!isJreDialog(dialog)) return support::WindowAction::leave();
            HWND link = GetDlgItem(dialog.handle, IDC_DOWNLOAD_LINK);
            RECT client{};
            GetClientRect(link, &client);
            const POINT overText = support::screenPointOf(link, {3, client.bottom / 2});
            const POINT besideText =
                support::screenPointOf(link, {client.right - 3, client.bottom / 2});
            HWND cancel = GetDlgItem(dialog.handle, IDCANCEL);
            support::moveMouseTo(support::screenPointOf(cancel, {5, 5}));
            seen.arrow = cursorNow();
            support::moveMouseTo(besideText);
            seen.besideText = cursorNow();
            support::moveMouseTo(overText);
            seen.overText = cursorNow();
            if (HWND tip = support::waitForProcessWindow(
                    dialog.processId,
                    [](const support::WindowInfo& w) {
                        return w.className == L"tooltips_class32" && !w.title.empty();
                    },
                    5000)) {
                seen.toolTip = support::textOf(tip);
            }
            seen.linkColorAtStart = support::windowShowsColor(link, kLinkGreen) &&
                                    !support::windowShowsColor(link, kVisitedRed);

            support::clickAt(overText);
            seen.afterClick = awaitLines(app, L"opened.txt", 1);
            Sleep(300);
            seen.visitedAfterOpen = support::windowShowsColor(link, kVisitedRed) &&
                                    !support::windowShowsColor(link, kLinkGreen);
            support::saveWindowPicture(dialog.handle, outputFile(L"jre-dialog-link-visited.png"));
            // The click gave the link the focus: Space opens it as well.
            support::pressKey(VK_SPACE);
            seen.afterSpace = awaitLines(app, L"opened.txt", 2);
            // Enter opens the focused link too, rather than pressing the dialog's default button.
            support::pressKey(VK_RETURN);
            seen.afterEnter = awaitLines(app, L"opened.txt", 3);
            // Beside the text, and pressed on it but released beside it: nothing opens.
            support::clickAt(besideText);
            support::pressMouseAt(overText);
            support::releaseMouseAt(besideText);
            Sleep(1500);
            seen.afterMisses = linesOf(app, L"opened.txt");
            // Disabled, the visited link is grey.
            EnableWindow(link, FALSE);
            Sleep(300);
            seen.greyWhenDisabled = support::windowShowsColor(link, GetSysColor(COLOR_GRAYTEXT)) &&
                                    !support::windowShowsColor(link, kVisitedRed);
            return support::WindowAction::click(IDCANCEL);
        },
        options);

    EXPECT_NE(seen.arrow, nullptr);
    EXPECT_EQ(seen.besideText, seen.arrow) << "no hand beside the text";
    EXPECT_NE(seen.overText, seen.arrow) << "the hand over the text";
    EXPECT_EQ(seen.toolTip, L"" JAVA_DOWNLOAD_URL);
    EXPECT_TRUE(seen.linkColorAtStart) << "the user's link colour";
    EXPECT_EQ(seen.afterClick, std::vector<std::string>{url});
    EXPECT_TRUE(seen.visitedAfterOpen) << "the user's visited colour";
    EXPECT_EQ(seen.afterSpace, (std::vector<std::string>{url, url}));
    EXPECT_EQ(seen.afterEnter.size(), 3u);
    EXPECT_TRUE(seen.greyWhenDisabled);
    EXPECT_EQ(seen.afterMisses.size(), 3u);
}

}  // namespace
}  // namespace e2e

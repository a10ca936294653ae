#include <windows.h>

#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {

std::wstring launcherPath() { return support::windowsPathOf(LAUNCHER_EXE); }

std::vector<std::wstring> Launch::errorTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& window : run.windows) {
        if (window.isDialog() && window.control(support::kMessageBoxTextId) != nullptr)
            texts.push_back(window.messageText());
    }
    return texts;
}

LauncherTest::LauncherTest() {
    exe = app.copyIn(launcherPath(), L"MyApp.exe");
    app.installJvm(support::FakeJvm::Full);
    app.writeBytes(L"lib\\app.jar", "PK");
    writeScenario("main_class=com/example/Main\n");
}

void LauncherTest::writeSettings(std::wstring_view text) { app.writeText(L"MyApp.ini", text); }

void LauncherTest::writeLaunchSettings(std::wstring_view extraJreLines,
                                       std::wstring_view extraApplicationLines) {
    std::wstring text = L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n";
    text += extraJreLines;
    text += L"\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n[Application]\r\n";
    text += extraApplicationLines;
    text += L"\r\n";
    writeSettings(text);
}

void LauncherTest::writeScenario(std::string_view text) { app.writeScenario(text); }

Launch LauncherTest::launch(const std::vector<std::wstring>& arguments,
                            const support::WindowHandler& handler,
                            const support::RunOptions& options) {
    // The launcher's own splitter knows double quotes around spaces and no escapes, so that is
    // all the quoting an argument gets here.
    const auto quoted = [](const std::wstring& text) {
        return text.find(L' ') == std::wstring::npos ? text : L"\"" + text + L"\"";
    };
    std::wstring commandLine = quoted(exe);
    for (const auto& argument : arguments) commandLine += L" " + quoted(argument);
    const support::WindowHandler answer =
        handler ? handler : [](const support::WindowInfo& window) {
            return window.hasButton(IDOK) ? support::WindowAction::press(IDOK)
                                          : support::WindowAction::leave();
        };
    support::RunOptions runOptions = options;
    if (runOptions.timeoutMs == 30000) runOptions.timeoutMs = 60000;
    Launch result;
    result.run = support::runAndWatch(commandLine, app.path(), answer, runOptions);
    result.record = app.readRecord();
    return result;
}

}  // namespace e2e

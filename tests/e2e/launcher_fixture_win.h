#pragma once

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/app_folder_win.h"
#include "tests/support/record_lines.h"
#include "tests/support/run_and_watch_win.h"

namespace e2e {

// The launcher of this build tree, as Wine sees it.
std::wstring launcherPath();

// Everything a test saw of one launch.
struct Launch {
    support::RunResult run;
    std::vector<std::string> record;  // what the fake JVM recorded

    [[nodiscard]] int32_t exitCode() const { return run.signedExitCode(); }
    // The texts of the message boxes that appeared, in order.
    [[nodiscard]] std::vector<std::wstring> errorTexts() const;
};

// An application folder holding the launcher as MyApp.exe, a runtime beside it (the fake JVM
// in jre\bin\client) and a jar in lib\, ready for a settings file and a scenario.
class LauncherTest : public ::testing::Test {
  protected:
    LauncherTest();

    // Writes MyApp.ini (UTF-16 with a byte-order mark).
    void writeSettings(std::wstring_view text);
    // A settings file that launches com.example.Main from lib\app.jar, plus extra lines.
    void writeLaunchSettings(std::wstring_view extraJreLines = L"",
                             std::wstring_view extraApplicationLines = L"");
    void writeScenario(std::string_view text);

    // Runs MyApp.exe with the arguments; message boxes are answered with OK unless the handler
    // says otherwise.
    Launch launch(const std::vector<std::wstring>& arguments = {},
                  const support::WindowHandler& handler = nullptr,
                  const support::RunOptions& options = {});

    support::AppFolder app{L"e2e"};
    std::wstring exe;
};

}  // namespace e2e

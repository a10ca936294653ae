#include <windows.h>

#include "settings/settings_files_win.h"

#include <gtest/gtest.h>

#include <string>

#include "base/files_win.h"
#include "settings/profile_store_win.h"
#include "tests/settings/temp_folder_win.h"

namespace settings {
namespace {

using testing_support::isFolder;
using testing_support::ScopedEnvironmentVariable;
using testing_support::TempFolder;

class SettingsFilesTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::wstring appData = folder / L"Roaming";
    std::wstring programs = folder / L"Programs";
    ScopedEnvironmentVariable appDataVariable{L"APPDATA", appData};

    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(appData.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(programs.c_str(), nullptr));
    }

    static std::wstring jrePathIn(const std::wstring& file) {
        return ProfileStore(file).read(kJreSection, kJrePathKey);
    }
};

TEST_F(SettingsFilesTest, PerUserPathFollowsAppData) {
    const std::wstring exe = programs + L"\\App.exe";
    const std::wstring expected = appData + L"\\Acme App\\{C0DE}\\App.ini";

    EXPECT_EQ(perUserSettingsPath(exe, L"Acme: App", L"{C0DE}", false), expected);
    EXPECT_FALSE(isFolder(appData + L"\\Acme App"));

    EXPECT_EQ(perUserSettingsPath(exe, L"Acme: App", L"{C0DE}", true), expected);
    EXPECT_TRUE(isFolder(appData + L"\\Acme App\\{C0DE}"));
    // Existing folders are no error.
    EXPECT_EQ(perUserSettingsPath(exe, L"Acme: App", L"{C0DE}", true), expected);
}

TEST_F(SettingsFilesTest, LongAppDataIsReadWhole) {
    const std::wstring longAppData = appData + L"\\" + std::wstring(280, L'd');
    ScopedEnvironmentVariable longVariable(L"APPDATA", longAppData);
    EXPECT_EQ(perUserSettingsPath(L"C:\\App.exe", L"P", L"C", false),
              longAppData + L"\\P\\C\\App.ini");
}

TEST_F(SettingsFilesTest, UnsetAppDataGivesRootRelativePath) {
    ScopedEnvironmentVariable unset(L"APPDATA", L"");
    SetEnvironmentVariableW(L"APPDATA", nullptr);
    EXPECT_EQ(perUserSettingsPath(L"C:\\App.exe", L"P", L"C", false), L"\\P\\C\\App.ini");
}

TEST_F(SettingsFilesTest, WriteBackInNormalModeGoesToPerUserFiles) {
    const std::wstring exe = programs + L"\\App.exe";
    const std::wstring pair = programs + L"\\App64.exe";
    writeBackJrePath({exe, false, pair, L"Acme/App", L"{C0DE}", L"C:\\jre\\"});

    EXPECT_EQ(jrePathIn(appData + L"\\AcmeApp\\{C0DE}\\App.ini"), L"C:\\jre\\");
    EXPECT_EQ(jrePathIn(appData + L"\\AcmeApp\\{C0DE}\\App64.ini"), L"C:\\jre\\");
    EXPECT_FALSE(base::pathExists(programs + L"\\App.ini"));
    EXPECT_FALSE(base::pathExists(programs + L"\\App64.ini"));
}

TEST_F(SettingsFilesTest, WriteBackInServiceModeGoesToMainFiles) {
    const std::wstring exe = programs + L"\\App.exe";
    const std::wstring pair = programs + L"\\App64.exe";
    ProfileStore(programs + L"\\App.ini")
        .setString(L"Application", L"Application Type", L"service");
    writeBackJrePath({exe, true, pair, L"Acme", L"{C0DE}", L"D:\\jre"});

    EXPECT_EQ(jrePathIn(programs + L"\\App.ini"), L"D:\\jre");
    EXPECT_EQ(ProfileStore(programs + L"\\App.ini").read(L"Application", L"Application Type"),
              L"service");
    EXPECT_EQ(jrePathIn(programs + L"\\App64.ini"), L"D:\\jre");
    EXPECT_FALSE(isFolder(appData + L"\\Acme"));
}

TEST_F(SettingsFilesTest, WriteBackWithoutPairAndWithUnnamableMainFile) {
    writeBackJrePath({programs + L"\\App.exe", true, L"", L"P", L"C", L"E:\\jre"});
    EXPECT_EQ(jrePathIn(programs + L"\\App.ini"), L"E:\\jre");

    writeBackJrePath({programs + L"\\NoExtension", false, L"", L"P", L"C", L"E:\\jre"});
    EXPECT_FALSE(isFolder(appData + L"\\P"));
}

}  // namespace
}  // namespace settings

#include "settings/settings_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace settings {
namespace {

TEST(SettingsFiles, MainSettingsPath) {
    EXPECT_EQ(mainSettingsPath(L"C:\\Apps\\App.exe"), L"C:\\Apps\\App.ini");
    EXPECT_EQ(mainSettingsPath(L"C:\\Apps\\my.app.exe"), L"C:\\Apps\\my.app.ini");
    EXPECT_EQ(mainSettingsPath(L"C:\\my.apps\\App"), L"C:\\my.ini");
    EXPECT_EQ(mainSettingsPath(L"C:\\Apps\\App"), std::nullopt);
    EXPECT_EQ(mainSettingsPath(L""), std::nullopt);
}

TEST(SettingsFiles, BaseName) {
    EXPECT_EQ(settingsFileBaseName(L"C:\\Apps\\App.exe"), L"App.ini");
    EXPECT_EQ(settingsFileBaseName(L"C:\\Apps\\my.app.exe"), L"my.app.ini");
    EXPECT_EQ(settingsFileBaseName(L"C:\\my.apps\\App"), L"App.ini");
    EXPECT_EQ(settingsFileBaseName(L"App.exe"), L"App.ini");
    EXPECT_EQ(settingsFileBaseName(L"C:\\Apps\\"), L".ini");
}

TEST(SettingsFiles, ProductFolderDropsForbiddenCharacters) {
    EXPECT_EQ(productFolderName(L"Acme: Tools/Suite"), L"Acme ToolsSuite");
    EXPECT_EQ(productFolderName(L"a\\b?c\"d|e>f<g:h/i*j"), L"abcdefghij");
    EXPECT_EQ(productFolderName(L"Plain Name 2.0"), L"Plain Name 2.0");
    EXPECT_EQ(productFolderName(L""), L"");
}

TEST(SettingsFiles, PerUserLocation) {
    const PerUserSettingsLocation location = perUserSettingsLocation(
        L"C:\\Users\\u\\AppData\\Roaming", L"C:\\Apps\\App.exe", L"Acme: App", L"{1234}");
    EXPECT_EQ(location.productFolder, L"C:\\Users\\u\\AppData\\Roaming\\Acme App");
    EXPECT_EQ(location.codeFolder, L"C:\\Users\\u\\AppData\\Roaming\\Acme App\\{1234}");
    EXPECT_EQ(location.file, L"C:\\Users\\u\\AppData\\Roaming\\Acme App\\{1234}\\App.ini");
}

TEST(SettingsFiles, PerUserLocationKeepsLongAppData) {
    const std::wstring appData = L"C:\\" + std::wstring(300, L'd');
    const PerUserSettingsLocation location =
        perUserSettingsLocation(appData, L"C:\\App.exe", L"P", L"C");
    EXPECT_EQ(location.file, appData + L"\\P\\C\\App.ini");
}

const std::wstring kAppData = L"C:\\Roaming";

TEST(JrePathWriteBack, ServiceModeWritesMainFiles) {
    JrePathWriteBack request{L"C:\\Apps\\App.exe", true, L"C:\\Apps\\App64.exe", L"P", L"C",
                             L"C:\\jre\\"};
    EXPECT_EQ(
        jrePathWriteBackTargets(request, kAppData),
        (std::vector<WriteBackTarget>{{L"C:\\Apps\\App.ini", {}}, {L"C:\\Apps\\App64.ini", {}}}));
    request.pairProduct.clear();
    EXPECT_EQ(jrePathWriteBackTargets(request, kAppData),
              (std::vector<WriteBackTarget>{{L"C:\\Apps\\App.ini", {}}}));
    // A pair whose settings file cannot be named is left out.
    request.pairProduct = L"C:\\Apps\\App64";
    EXPECT_EQ(jrePathWriteBackTargets(request, kAppData),
              (std::vector<WriteBackTarget>{{L"C:\\Apps\\App.ini", {}}}));
}

TEST(JrePathWriteBack, ServiceModeFindsARelativePairBesideTheExecutable) {
    JrePathWriteBack request{L"C:\\Apps\\App.exe", true, L"App64.exe", L"P", L"C", L"C:\\jre\\"};
    EXPECT_EQ(
        jrePathWriteBackTargets(request, kAppData),
        (std::vector<WriteBackTarget>{{L"C:\\Apps\\App.ini", {}}, {L"C:\\Apps\\App64.ini", {}}}));
}

TEST(PairProductBesideExecutable, OnlyRelativePathsMove) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"App64.exe", L"C:\\Apps\\App64.exe"},
        {L"bin64\\App64.exe", L"C:\\Apps\\bin64\\App64.exe"},
        {L"..\\x64\\App64.exe", L"C:\\Apps\\..\\x64\\App64.exe"},
        {L"D:\\Other\\App64.exe", L"D:\\Other\\App64.exe"},
        {L"D:App64.exe", L"D:App64.exe"},
        {L"\\\\srv\\share\\App64.exe", L"\\\\srv\\share\\App64.exe"},
        {L"\\App64.exe", L"\\App64.exe"},
        {L"", L""},
    };
    for (const auto& [pair, expected] : cases) {
        EXPECT_EQ(pairProductBesideExecutable(pair, L"C:\\Apps\\App.exe"), expected) << pair;
    }
    EXPECT_EQ(pairProductBesideExecutable(L"App64.exe", L"App.exe"), L"App64.exe");
}

TEST(JrePathWriteBack, NormalModeWritesPerUserFiles) {
    JrePathWriteBack request{L"C:\\Apps\\App.exe", false, L"", L"Acme/App", L"{C}", L"C:\\jre\\"};
    const WriteBackTarget own{L"C:\\Roaming\\AcmeApp\\{C}\\App.ini",
                              {L"C:\\Roaming\\AcmeApp", L"C:\\Roaming\\AcmeApp\\{C}"}};
    EXPECT_EQ(jrePathWriteBackTargets(request, kAppData), (std::vector<WriteBackTarget>{own}));

    // The pair's per-user file takes this application's product name and code.
    request.pairProduct = L"D:\\Other\\App64";
    const WriteBackTarget pair{L"C:\\Roaming\\AcmeApp\\{C}\\App64.ini",
                               {L"C:\\Roaming\\AcmeApp", L"C:\\Roaming\\AcmeApp\\{C}"}};
    EXPECT_EQ(jrePathWriteBackTargets(request, kAppData),
              (std::vector<WriteBackTarget>{own, pair}));
}

TEST(JrePathWriteBack, NothingWhenMainFileCannotBeNamed) {
    for (const bool service : {true, false}) {
        const JrePathWriteBack request{
            L"C:\\Apps\\App", service, L"C:\\Apps\\App64.exe", L"P", L"C", L"C:\\jre\\"};
        EXPECT_TRUE(jrePathWriteBackTargets(request, kAppData).empty());
    }
}

}  // namespace
}  // namespace settings

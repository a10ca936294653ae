#include "splash/splash_settings.h"

#include <gtest/gtest.h>

namespace splash {
namespace {

TEST(SplashSettingsTest, ShadowOnlyForExactLowerCaseTrue) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"true", true}, {L"True", false}, {L"TRUE", false},  {L"yes", false},
        {L"1", false},   {L"", false},     {L"true ", false},
    };
    for (const auto& [value, expected] : cases) {
        SplashSettings settings;
        settings.shadow = value;
        EXPECT_EQ(settings.wantsShadow(), expected) << testing::PrintToString(value);
    }
}

TEST(SplashSettingsTest, RuntimeSplashPreferredForYesInAnyCase) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"Yes", true},   {L"yes", true}, {L"YES", true},   {L"yEs", true},
        {L"true", false}, {L"Y", false},  {L"Yes!", false}, {L"", false},
    };
    for (const auto& [value, expected] : cases) {
        SplashSettings settings;
        settings.preference = value;
        EXPECT_EQ(settings.prefersRuntimeSplash(), expected) << testing::PrintToString(value);
    }
}

TEST(SplashSettingsTest, RuntimeSplashLibraryIsTwoFoldersAboveTheJvmLibrary) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\jre\\bin\\client\\jvm.dll", L"C:\\jre\\bin\\splashscreen.dll"},
        {L"C:\\jre\\bin\\server\\jvm.dll", L"C:\\jre\\bin\\splashscreen.dll"},
        {L"\\\\host\\share\\jre\\bin\\client\\jvm.dll",
         L"\\\\host\\share\\jre\\bin\\splashscreen.dll"},
        // A folder already ending in a separator gets none added.
        {L"C:\\jre/\\client\\jvm.dll", L"C:\\jre/splashscreen.dll"},
        {L"C:\\jre\\\\client\\jvm.dll", L"C:\\jre\\splashscreen.dll"},
        {L"C:\\jvm.dll", L""},
        {L"jvm.dll", L""},
        {L"", L""},
    };
    for (const auto& [jvm, expected] : cases) {
        EXPECT_EQ(runtimeSplashLibraryPath(jvm), expected) << testing::PrintToString(jvm);
    }
}

}  // namespace
}  // namespace splash

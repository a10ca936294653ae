#include "launcher/launch_settings.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

TEST(JvmSourceFlags, WordsAreComparedExactly) {
    struct Case {
        const wchar_t* value;
        JvmSourceFlags expected;
    };
    const Case cases[] = {
        {L"favor_JRE", {false, true, true}},   {L"favor_JDK", {true, false, true}},
        {L"only_JRE", {false, true, false}},   {L"only_JDK", {true, false, false}},
        {L"favor_jre", {false, false, false}}, {L"anything", {false, false, false}},
    };
    for (const auto& c : cases) {
        const auto flags = jvmSourceFlags(c.value, {});
        EXPECT_EQ(flags.acceptJdk, c.expected.acceptJdk) << c.value;
        EXPECT_EQ(flags.acceptJre, c.expected.acceptJre) << c.value;
        EXPECT_EQ(flags.fallBackToOtherKind, c.expected.fallBackToOtherKind) << c.value;
    }
}

TEST(JvmSourceFlags, EmptyValueAcceptsBothAndKeepsFallBack) {
    const auto flags = jvmSourceFlags(L"", {false, false, false});
    EXPECT_TRUE(flags.acceptJdk);
    EXPECT_TRUE(flags.acceptJre);
    EXPECT_FALSE(flags.fallBackToOtherKind);
}

TEST(VmProviderFlags, WordsIgnoreCaseAndUnknownWordsKeepTheDefaults) {
    const VmProviderFlags defaults;
    EXPECT_EQ(vmProviderFlags(L"IBM", defaults),
              (VmProviderFlags{false, false, true, false, false, true}));
    EXPECT_EQ(vmProviderFlags(L"JRockit", defaults),
              (VmProviderFlags{true, false, false, true, false, false}));
    EXPECT_EQ(vmProviderFlags(L"Favor_Ibm", defaults),
              (VmProviderFlags{true, true, true, false, false, true}));
    EXPECT_EQ(vmProviderFlags(L"any", defaults),
              (VmProviderFlags{true, true, true, false, false, false}));
    EXPECT_EQ(vmProviderFlags(L"sun", defaults), defaults);
    EXPECT_EQ(vmProviderFlags(L"", defaults), defaults);
}

TEST(JvmType, OnlyExactWordsCount) {
    EXPECT_EQ(jvmTypeFromSetting(L"server"), 1);
    EXPECT_EQ(jvmTypeFromSetting(L"favor_server"), 2);
    EXPECT_EQ(jvmTypeFromSetting(L"Server"), 0);
    EXPECT_EQ(jvmTypeFromSetting(L""), 0);
}

TEST(YesFlag, AcceptsYesInAnyCaseOnly) {
    for (const auto* yes : {L"Yes", L"yes", L"YES", L"yEs"}) EXPECT_TRUE(isYesFlag(yes)) << yes;
    for (const auto* no : {L"y", L"true", L"Yes ", L"", L"No"}) EXPECT_FALSE(isYesFlag(no)) << no;
}

TEST(MainClass, DotsBecomeSlashes) {
    EXPECT_EQ(mainClassInJniForm(L"com.example.Main"), L"com/example/Main");
    EXPECT_EQ(mainClassInJniForm(L"com/example/Main"), L"com/example/Main");
}

TEST(LaunchArguments, DropTheProgramPathAndKeepTheRest) {
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(launchArguments(L"app.exe"), Args{});
    EXPECT_EQ(launchArguments(L"  \"C:\\My App\\app.exe\" -nosplash \"two words\"  "),
              (Args{L"-nosplash", L"two words"}));
    EXPECT_EQ(launchArguments(L"app.exe a   b"), (Args{L"a", L"b"}));
    EXPECT_EQ(launchArguments(L""), Args{});
}

TEST(SplashSwitch, OnlyWholeCaseSensitiveArgumentsCount) {
    using Args = std::vector<std::wstring>;
    EXPECT_TRUE(splashSuppressed(Args{L"a", L"-nosplash"}));
    EXPECT_TRUE(splashSuppressed(Args{L"/nosplash", L"b"}));
    EXPECT_FALSE(splashSuppressed(Args{L"-NOSPLASH"}));
    EXPECT_FALSE(splashSuppressed(Args{L"-nosplashx"}));
    EXPECT_FALSE(splashSuppressed(Args{}));
}

}  // namespace
}  // namespace launcher

#include "launcher/launch_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "launcher/settings_keys.h"
#include "settings/text_store.h"

namespace launcher {
namespace {

using jre::JavaVersion;
using jre::JvmType;

const JavaVersion kNoBound{};
const JavaVersion kOpenMaximum{{65535, 65535, 65535, 65535}};

settings::TextStore storeOf(std::wstring_view text) {
    settings::TextStore store;
    store.parse(text);
    return store;
}

// Interprets a main settings file (and a per-user file, when given) as a launch does.
LaunchSettings interpret(std::wstring_view mainText,
                         std::optional<std::wstring_view> perUserText = std::nullopt) {
    const auto mainFile = storeOf(mainText);
    const auto perUser = storeOf(perUserText.value_or(L""));
    return interpretLaunchSettings(readProductSettings(mainFile), mainFile,
                                   perUserText ? &perUser : nullptr);
}

struct SourceFlags {
    bool acceptJdk, acceptJre, fallBackToOtherKind;
};
SourceFlags sourceFlagsOf(const jre::JreSearchSettings& search) {
    return {search.acceptJdk, search.acceptJre, search.fallBackToOtherKind};
}

using Provider = std::array<bool, 6>;
Provider providerFlagsOf(const jre::JreSearchSettings& search) {
    return {search.acceptJRockit, search.acceptSun, search.acceptIbm,
            search.preferJRockit, search.preferSun, search.preferIbm};
}
constexpr Provider kSunOnly{false, true, false, false, true, false};

TEST(LaunchSettings, AnEmptyFileGivesTheDefaults) {
    const LaunchSettings settings = interpret(L"");
    const auto& search = settings.runtimeSearch;
    EXPECT_EQ(search.minimumVersion, kNoBound);
    // A missing maximum is a failed parse, not an open bound.
    EXPECT_EQ(search.maximumVersion, kNoBound);
    EXPECT_EQ(search.jvmType, JvmType::ClientFirst);
    EXPECT_EQ(providerFlagsOf(search), kSunOnly);
    const SourceFlags source = sourceFlagsOf(search);
    EXPECT_TRUE(source.acceptJdk && source.acceptJre && source.fallBackToOtherKind);
    EXPECT_TRUE(search.preferredVersions.empty());
    EXPECT_TRUE(settings.mainClass.empty());
    EXPECT_FALSE(settings.application.serviceMode);
    EXPECT_FALSE(settings.application.failureCheck);
    EXPECT_FALSE(settings.jvmOptions.embeddedJar);
}

TEST(LaunchSettings, WordsAreComparedAsEachKeyDemands) {
    struct Case {
        const wchar_t* lines;
        std::function<void(const LaunchSettings&)> check;
    };
    const Case cases[] = {
        {L"[Java Runtime Environment]\r\nMinimum Version=any\r\nMaximum Version=any",
         [](const LaunchSettings& s) {
             EXPECT_EQ(s.runtimeSearch.minimumVersion, kNoBound);
             EXPECT_EQ(s.runtimeSearch.maximumVersion, kOpenMaximum);
         }},
        {L"[Java Runtime Environment]\r\nMinimum Version=1.8\r\nMaximum Version=ANY",
         [](const LaunchSettings& s) {
             EXPECT_EQ(s.runtimeSearch.minimumVersion, (JavaVersion{{1, 8, 0, 0}}));
             EXPECT_EQ(s.runtimeSearch.maximumVersion, kNoBound);
         }},
        {L"[Application]\r\nApplication Type=Service",
         [](const LaunchSettings& s) { EXPECT_FALSE(s.application.serviceMode); }},
        {L"[Application]\r\nApplication Type=service",
         [](const LaunchSettings& s) { EXPECT_TRUE(s.application.serviceMode); }},
        {L"[Java Runtime Environment]\r\nJVM Type=Server",
         [](const LaunchSettings& s) { EXPECT_EQ(s.runtimeSearch.jvmType, JvmType::ClientFirst); }},
        {L"[Java Runtime Environment]\r\nJVM Type=server",
         [](const LaunchSettings& s) { EXPECT_EQ(s.runtimeSearch.jvmType, JvmType::ServerOnly); }},
        {L"[Java Runtime Environment]\r\nJVM Type=favor_server",
         [](const LaunchSettings& s) { EXPECT_EQ(s.runtimeSearch.jvmType, JvmType::ServerFirst); }},
        {L"[Java Runtime Environment]\r\nJVM Source=favor_jre",
         [](const LaunchSettings& s) {
             const SourceFlags flags = sourceFlagsOf(s.runtimeSearch);
             EXPECT_FALSE(flags.acceptJdk || flags.acceptJre || flags.fallBackToOtherKind);
         }},
        {L"[Java Runtime Environment]\r\nJVM Source=only_JDK",
         [](const LaunchSettings& s) {
             const SourceFlags flags = sourceFlagsOf(s.runtimeSearch);
             EXPECT_TRUE(flags.acceptJdk);
             EXPECT_FALSE(flags.acceptJre || flags.fallBackToOtherKind);
         }},
        {L"[Java Runtime Environment]\r\nJVM Source=favor_JRE",
         [](const LaunchSettings& s) {
             const SourceFlags flags = sourceFlagsOf(s.runtimeSearch);
             EXPECT_TRUE(flags.acceptJre && flags.fallBackToOtherKind);
             EXPECT_FALSE(flags.acceptJdk);
         }},
        {L"[Java Runtime Environment]\r\nVM Provider=IBM",
         [](const LaunchSettings& s) {
             EXPECT_EQ(providerFlagsOf(s.runtimeSearch),
                       (Provider{false, false, true, false, false, true}));
         }},
        {L"[Java Runtime Environment]\r\nVM Provider=Favor_JRockit",
         [](const LaunchSettings& s) {
             EXPECT_EQ(providerFlagsOf(s.runtimeSearch),
                       (Provider{true, true, true, true, false, false}));
         }},
        {L"[Java Runtime Environment]\r\nVM Provider=sun",
         [](const LaunchSettings& s) { EXPECT_EQ(providerFlagsOf(s.runtimeSearch), kSunOnly); }},
        {L"[Application]\r\nFailure Check=yes\r\nOverride WorkingDir=y\r\n"
         L"Pair Return Code=YES\r\nEmbedded Jar=true",
         [](const LaunchSettings& s) {
             EXPECT_TRUE(s.application.failureCheck);
             EXPECT_FALSE(s.application.overrideWorkingDir);
             EXPECT_TRUE(s.application.pairReturnCode);
             EXPECT_FALSE(s.jvmOptions.embeddedJar);
         }},
        // The append switches, unlike the "Yes" flags, take only the lower-case word.
        {L"[Application]\r\nOutput File=%TEMP%\\out.log\r\nOutput Append=Yes\r\n"
         L"Error File=err.log\r\nError Append=yes",
         [](const LaunchSettings& s) {
             EXPECT_EQ(s.output.outputFile, L"%TEMP%\\out.log");
             EXPECT_FALSE(s.output.appendOutput);
             EXPECT_EQ(s.output.errorFile, L"err.log");
             EXPECT_TRUE(s.output.appendError);
         }},
        {L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
         L"Preferred versions=1.8;;11\r\n",
         [](const LaunchSettings& s) {
             EXPECT_EQ(s.mainClass, L"com/example/Main");
             EXPECT_EQ(s.runtimeSearch.preferredVersions,
                       (std::vector<std::wstring>{L"1.8", L"", L"11"}));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.lines)));
        c.check(interpret(c.lines));
    }
}

TEST(LaunchSettings, JrePathComesFromAnExistingPerUserFileOutsideServiceMode) {
    const std::wstring main = L"[Java Runtime Environment]\r\nJRE Path=C:\\main\r\n";
    const std::wstring service = main + L"[Application]\r\nApplication Type=service\r\n";
    const std::wstring perUserWithPath = L"[Java Runtime Environment]\r\nJRE Path=C:\\user\r\n";
    const std::wstring perUserWithout = L"[Java Runtime Environment]\r\n";
    struct Case {
        const std::wstring* mainText;
        const std::wstring* perUserText;  // null: no per-user file
        const wchar_t* expected;
    };
    const Case cases[] = {
        {&main, nullptr, L"C:\\main"},
        {&main, &perUserWithPath, L"C:\\user"},
        {&main, &perUserWithout, L""},
        {&service, &perUserWithPath, L"C:\\main"},
    };
    for (const auto& c : cases) {
        const auto settings = c.perUserText != nullptr ? interpret(*c.mainText, *c.perUserText)
                                                       : interpret(*c.mainText);
        EXPECT_EQ(settings.runtimeSearch.jrePathSetting, c.expected);
    }
}

TEST(LaunchSettings, ProductAndJvmOptionSettingsAreTakenAsWritten) {
    const LaunchSettings settings = interpret(
        L"[Product Information]\r\nProduct Name=My App\r\nProduct Code={1}\r\n"
        L"Upgrade Code={2}\r\n"
        L"[Java Runtime Environment]\r\nLibrary Path=%APP%\\native\r\nSystem Path=C:\\bin\r\n"
        L"Virtual Machine Parameters=-Xmx1g \"-Dp=a b\"\r\n"
        L"[Class Path]\r\nClass Path=\\lib\\*.jar\r\n"
        L"[Application]\r\nCmd=one \"two\"\r\nEmbedded Jar=yES\r\nPair Product=app64.exe\r\n");
    EXPECT_EQ(settings.product.productName, L"My App");
    EXPECT_EQ(settings.product.productCode, L"{1}");
    EXPECT_EQ(settings.product.upgradeCode, L"{2}");
    const JvmOptionSettings& options = settings.jvmOptions;
    EXPECT_EQ(options.libraryPath, L"%APP%\\native");
    EXPECT_EQ(options.systemPath, L"C:\\bin");
    EXPECT_EQ(options.vmParameters, L"-Xmx1g \"-Dp=a b\"");
    EXPECT_EQ(options.classPath, L"\\lib\\*.jar");
    EXPECT_EQ(options.cmdSetting, L"one \"two\"");
    EXPECT_TRUE(options.embeddedJar);
    EXPECT_EQ(settings.runtimeSearch.pairProduct, L"app64.exe");
}

// Remembers every key asked for; every value is empty.
class RecordingStore : public settings::TextStore {
  public:
    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override {
        read.emplace_back(section, key);
        out.clear();
    }
    mutable std::vector<std::pair<std::wstring_view, std::wstring_view>> read;
};

TEST(SettingsKeys, TheCatalogueListsEveryKeyTheLaunchReads) {
    RecordingStore mainFile;
    RecordingStore perUser;
    (void)interpretLaunchSettings(readProductSettings(mainFile), mainFile, &perUser);
    (void)readDisplaySettings(mainFile);
    auto read = mainFile.read;
    read.insert(read.end(), perUser.read.begin(), perUser.read.end());
    for (const auto& asked : read) {
        const bool listed = std::any_of(
            keys::kAllKeys.begin(), keys::kAllKeys.end(), [&](const keys::SettingKey& entry) {
                return entry.section == asked.first && entry.key == asked.second;
            });
        EXPECT_TRUE(listed) << testing::PrintToString(std::wstring(asked.first)) << " "
                            << testing::PrintToString(std::wstring(asked.second));
    }
    // And each of them once.
    std::sort(read.begin(), read.end());
    EXPECT_EQ(std::adjacent_find(read.begin(), read.end()), read.end());
}

splash::SplashSettings readDisplayFrom(std::wstring_view iniText) {
    settings::TextStore store;
    store.parse(iniText);
    return readDisplaySettings(store);
}

TEST(DisplaySettings, ReadsTheThreeDisplayKeysAsWritten) {
    const auto read = readDisplayFrom(
        L"[Display]\r\nSplash Screen=img\\splash.png\r\nSplash Screen Shadow=True\r\n"
        L"Preffer Native Splash Screen=yes\r\n");
    EXPECT_EQ(read.imagePath, L"img\\splash.png");
    EXPECT_EQ(read.shadow, L"True");
    EXPECT_EQ(read.preference, L"yes");
}

TEST(DisplaySettings, MissingKeysAndOtherSectionsReadAsEmpty) {
    const auto read = readDisplayFrom(
        L"[Application]\r\nSplash Screen=elsewhere.png\r\n"
        L"[Display]\r\nPrefer Native Splash Screen=Yes\r\n");
    EXPECT_EQ(read.imagePath, L"");
    EXPECT_EQ(read.shadow, L"");
    // The key is spelt with a double f; the usual spelling is not it.
    EXPECT_FALSE(read.prefersRuntimeSplash());
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

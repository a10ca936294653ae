#include "launcher/launch_settings.h"

#include <algorithm>
#include <array>

#include "base/split.h"
#include "base/text.h"
#include "jre/java_version.h"
#include "launcher/settings_keys.h"
#include "launcher/single_instance.h"

namespace launcher {

namespace {

std::wstring read(const settings::SettingsStore& store, const keys::SettingKey& setting) {
    return store.read(setting.section, setting.key);
}

// A "Yes" flag: "Yes" in any letter case, nothing else.
bool isYesFlag(std::wstring_view value) { return base::equalsIgnoringCase(value, L"Yes"); }

// "JVM Type" words are compared exactly; anything else tries a client JVM first.
jre::JvmType jvmTypeFromSetting(std::wstring_view value) {
    if (value == L"server") return jre::JvmType::ServerOnly;
    if (value == L"favor_server") return jre::JvmType::ServerFirst;
    return jre::JvmType::ClientFirst;
}

// "JVM Source", compared exactly. An empty value accepts both kinds and leaves the fall-back
// flag as it was; an unknown word accepts neither.
void applyJvmSource(std::wstring_view value, jre::JreSearchSettings& search) {
    struct Row {
        std::wstring_view word;
        bool acceptJdk, acceptJre, fallBackToOtherKind;
    };
    static constexpr std::array<Row, 4> rows{{
        {L"favor_JRE", false, true, true},
        {L"favor_JDK", true, false, true},
        {L"only_JRE", false, true, false},
        {L"only_JDK", true, false, false},
    }};
    if (value.empty()) {
        search.acceptJdk = true;
        search.acceptJre = true;
        return;
    }
    Row chosen{{}, false, false, false};
    for (const auto& row : rows) {
        if (row.word == value) chosen = row;
    }
    search.acceptJdk = chosen.acceptJdk;
    search.acceptJre = chosen.acceptJre;
    search.fallBackToOtherKind = chosen.fallBackToOtherKind;
}

// "VM Provider", matched ignoring case; an empty or unknown word keeps the defaults, which
// accept and prefer Sun only.
void applyVmProvider(std::wstring_view value, jre::JreSearchSettings& search) {
    struct Row {
        std::wstring_view word;
        bool acceptJRockit, acceptSun, acceptIbm, preferJRockit, preferSun, preferIbm;
    };
    static constexpr std::array<Row, 6> rows{{
        {L"jrockit", true, false, false, true, false, false},
        {L"ibm", false, false, true, false, false, true},
        {L"favor_sun", true, true, true, false, true, false},
        {L"favor_jrockit", true, true, true, true, false, false},
        {L"favor_ibm", true, true, true, false, false, true},
        {L"any", true, true, true, false, false, false},
    }};
    if (value.empty()) return;
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& candidate) {
        return base::equalsIgnoringCase(value, candidate.word);
    });
    if (row == rows.end()) return;
    search.acceptJRockit = row->acceptJRockit;
    search.acceptSun = row->acceptSun;
    search.acceptIbm = row->acceptIbm;
    search.preferJRockit = row->preferJRockit;
    search.preferSun = row->preferSun;
    search.preferIbm = row->preferIbm;
}

jre::JreSearchSettings runtimeSearchSettings(const settings::SettingsStore& layered,
                                             const settings::SettingsStore* perUser,
                                             bool serviceMode) {
    jre::JreSearchSettings search;
    search.minimumVersion = jre::minimumVersionFromSetting(read(layered, keys::kMinimumVersion));
    search.maximumVersion = jre::maximumVersionFromSetting(read(layered, keys::kMaximumVersion));
    base::splitText(read(layered, keys::kPreferredVersions), L";", search.preferredVersions);
    const bool perUserDecides = !serviceMode && perUser != nullptr;
    search.jrePathSetting = read(perUserDecides ? *perUser : layered, keys::kJrePath);
    search.jvmType = jvmTypeFromSetting(read(layered, keys::kJvmType));
    applyJvmSource(read(layered, keys::kJvmSource), search);
    applyVmProvider(read(layered, keys::kVmProvider), search);
    search.pairProduct = read(layered, keys::kPairProduct);
    // On unless switched off, for applications that must see only the classic keys.
    search.modernRuntimeKeys =
        !base::equalsIgnoringCase(read(layered, keys::kModernRuntimeKeys), L"No");
    search.runtimeSources = jre::runtimeSourcesFromSetting(read(layered, keys::kRuntimeSources));
    return search;
}

}  // namespace

ProductSettings readProductSettings(const settings::SettingsStore& mainFile) {
    ProductSettings product;
    product.productCode = read(mainFile, keys::kProductCode);
    product.upgradeCode = read(mainFile, keys::kUpgradeCode);
    product.productName = read(mainFile, keys::kProductName);
    return product;
}

splash::SplashSettings readDisplaySettings(const settings::SettingsStore& mainFile) {
    splash::SplashSettings display;
    display.imagePath = read(mainFile, keys::kSplashScreen);
    display.shadow = read(mainFile, keys::kSplashScreenShadow);
    display.preference = read(mainFile, keys::kPreferNativeSplash);
    return display;
}

LaunchSettings interpretLaunchSettings(ProductSettings product,
                                       const settings::SettingsStore& layered,
                                       const settings::SettingsStore* perUser) {
    LaunchSettings result;
    result.product = std::move(product);

    ApplicationFlags& application = result.application;
    const std::wstring applicationType = read(layered, keys::kApplicationType);
    application.serviceMode = applicationType == L"service";
    application.singleInstance =
        single_instance::wanted(applicationType, read(layered, keys::kSingleInstance));
    application.failureCheck = isYesFlag(read(layered, keys::kFailureCheck));
    application.overrideWorkingDir = isYesFlag(read(layered, keys::kOverrideWorkingDir));
    application.pairReturnCode = isYesFlag(read(layered, keys::kPairReturnCode));
    application.attachConsole = isYesFlag(read(layered, keys::kAttachConsole));
    application.consoleErrorBoxes = isYesFlag(read(layered, keys::kConsoleErrorBoxes));

    result.runtimeSearch = runtimeSearchSettings(layered, perUser, application.serviceMode);
    result.mainClass = base::replacedAll(read(layered, keys::kMainClass), L'.', L'/');

    JvmOptionSettings& options = result.jvmOptions;
    options.libraryPath = read(layered, keys::kLibraryPath);
    options.systemPath = read(layered, keys::kSystemPath);
    options.classPath = read(layered, keys::kClassPath);
    options.embeddedJar = isYesFlag(read(layered, keys::kEmbeddedJar));
    options.vmParameters = read(layered, keys::kVmParameters);
    options.cmdSetting = read(layered, keys::kCmd);

    // Unlike the "Yes" flags, the append switches take only the lower-case word.
    OutputRedirection& output = result.output;
    output.outputFile = read(layered, keys::kOutputFile);
    output.appendOutput = read(layered, keys::kOutputAppend) == L"yes";
    output.errorFile = read(layered, keys::kErrorFile);
    output.appendError = read(layered, keys::kErrorAppend) == L"yes";
    result.launchLog = read(layered, keys::kLaunchLog);
    return result;
}

std::vector<std::wstring> launchArguments(std::wstring_view commandLine) {
    std::vector<std::wstring> arguments;
    base::splitCommandLine(base::trimmed(commandLine), arguments);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

bool splashSuppressed(const std::vector<std::wstring>& arguments) {
    const auto has = [&](std::wstring_view word) {
        return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
    };
    return has(L"-nosplash") || has(L"/nosplash");
}

}  // namespace launcher

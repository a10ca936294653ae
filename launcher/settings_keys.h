#pragma once

#include <array>
#include <string_view>

// Every section and key the launcher reads, in one place, so that the readers and the settings
// documentation cannot drift apart. The spellings are the ones settings files in the field use,
// odd ones included ("Preferred versions", "Override WorkingDir").
namespace launcher::keys {

struct SettingKey {
    std::wstring_view section;
    std::wstring_view key;
};

inline constexpr std::wstring_view kProductSection = L"Product Information";
inline constexpr std::wstring_view kJreSection = L"Java Runtime Environment";
inline constexpr std::wstring_view kApplicationSection = L"Application";
inline constexpr std::wstring_view kClassPathSection = L"Class Path";
inline constexpr std::wstring_view kDisplaySection = L"Display";

inline constexpr SettingKey kProductCode{kProductSection, L"Product Code"};
inline constexpr SettingKey kUpgradeCode{kProductSection, L"Upgrade Code"};
inline constexpr SettingKey kProductName{kProductSection, L"Product Name"};

inline constexpr SettingKey kMinimumVersion{kJreSection, L"Minimum Version"};
inline constexpr SettingKey kMaximumVersion{kJreSection, L"Maximum Version"};
inline constexpr SettingKey kPreferredVersions{kJreSection, L"Preferred versions"};
inline constexpr SettingKey kJrePath{kJreSection, L"JRE Path"};
inline constexpr SettingKey kJvmType{kJreSection, L"JVM Type"};
inline constexpr SettingKey kJvmSource{kJreSection, L"JVM Source"};
inline constexpr SettingKey kVmProvider{kJreSection, L"VM Provider"};
inline constexpr SettingKey kMainClass{kJreSection, L"Main Class"};
inline constexpr SettingKey kSystemPath{kJreSection, L"System Path"};
inline constexpr SettingKey kLibraryPath{kJreSection, L"Library Path"};
inline constexpr SettingKey kVmParameters{kJreSection, L"Virtual Machine Parameters"};
inline constexpr SettingKey kModernRuntimeKeys{kJreSection, L"Modern Runtime Keys"};

inline constexpr SettingKey kApplicationType{kApplicationSection, L"Application Type"};
inline constexpr SettingKey kSingleInstance{kApplicationSection, L"Single Instance"};
inline constexpr SettingKey kFailureCheck{kApplicationSection, L"Failure Check"};
inline constexpr SettingKey kOverrideWorkingDir{kApplicationSection, L"Override WorkingDir"};
inline constexpr SettingKey kPairProduct{kApplicationSection, L"Pair Product"};
inline constexpr SettingKey kPairReturnCode{kApplicationSection, L"Pair Return Code"};
inline constexpr SettingKey kEmbeddedJar{kApplicationSection, L"Embedded Jar"};
inline constexpr SettingKey kOutputFile{kApplicationSection, L"Output File"};
inline constexpr SettingKey kOutputAppend{kApplicationSection, L"Output Append"};
inline constexpr SettingKey kErrorFile{kApplicationSection, L"Error File"};
inline constexpr SettingKey kErrorAppend{kApplicationSection, L"Error Append"};
inline constexpr SettingKey kCmd{kApplicationSection, L"Cmd"};

inline constexpr SettingKey kClassPath{kClassPathSection, L"Class Path"};

// The splash, read from the main file alone.
inline constexpr SettingKey kSplashScreen{kDisplaySection, L"Splash Screen"};
inline constexpr SettingKey kSplashScreenShadow{kDisplaySection, L"Splash Screen Shadow"};
// Spelt with a double f in every settings file that uses it.
inline constexpr SettingKey kPreferNativeSplash{kDisplaySection, L"Preffer Native Splash Screen"};

// Every key above. ("Omit Service Name" appears in settings files of services, but nothing acts
// on it, so it is not read.)
inline constexpr std::array kAllKeys{
    kProductCode,
    kUpgradeCode,
    kProductName,
    kMinimumVersion,
    kMaximumVersion,
    kPreferredVersions,
    kJrePath,
    kJvmType,
    kJvmSource,
    kVmProvider,
    kMainClass,
    kSystemPath,
    kLibraryPath,
    kVmParameters,
    kModernRuntimeKeys,
    kApplicationType,
    kSingleInstance,
    kFailureCheck,
    kOverrideWorkingDir,
    kPairProduct,
    kPairReturnCode,
    kEmbeddedJar,
    kOutputFile,
    kOutputAppend,
    kErrorFile,
    kErrorAppend,
    kCmd,
    kClassPath,
    kSplashScreen,
    kSplashScreenShadow,
    kPreferNativeSplash,
};

}  // namespace launcher::keys

#pragma once

#include <array>
#include <string_view>

#include "settings/settings_files.h"

// Every section and key the launcher reads, in one place, so that the readers and the settings
// documentation cannot drift apart. The spellings are the ones settings files in the field use,
// odd ones included ("Preferred versions", "Override WorkingDir").
namespace launcher::keys {

struct SettingKey {
    std::wstring_view section;
    std::wstring_view key;
};

inline constexpr std::wstring_view kProductSection = L"Product Information";
// The write-back of "JRE Path" names the same key from the settings library.
inline constexpr std::wstring_view kJreSection = settings::kJreSection;
inline constexpr std::wstring_view kApplicationSection = L"Application";
inline constexpr std::wstring_view kClassPathSection = L"Class Path";
inline constexpr std::wstring_view kDisplaySection = L"Display";

// Every key the launcher reads, once: the named constants and the list of all keys both come
// from this table, so a key cannot be read without being listed. ("Omit Service Name" appears
// in settings files of services, but nothing acts on it, so it is not read.) The [Display] keys
// are read from the main file alone; "Preffer" is spelt with a double f in every settings file
// that uses it.
#define LAUNCHER_SETTING_KEYS(X)                                        \
    X(kProductCode, kProductSection, L"Product Code")                   \
    X(kUpgradeCode, kProductSection, L"Upgrade Code")                   \
    X(kProductName, kProductSection, L"Product Name")                   \
    X(kMinimumVersion, kJreSection, L"Minimum Version")                 \
    X(kMaximumVersion, kJreSection, L"Maximum Version")                 \
    X(kPreferredVersions, kJreSection, L"Preferred versions")           \
    X(kJrePath, kJreSection, settings::kJrePathKey)                     \
    X(kJvmType, kJreSection, L"JVM Type")                               \
    X(kJvmSource, kJreSection, L"JVM Source")                           \
    X(kVmProvider, kJreSection, L"VM Provider")                         \
    X(kMainClass, kJreSection, L"Main Class")                           \
    X(kSystemPath, kJreSection, L"System Path")                         \
    X(kLibraryPath, kJreSection, L"Library Path")                       \
    X(kVmParameters, kJreSection, L"Virtual Machine Parameters")        \
    X(kModernRuntimeKeys, kJreSection, L"Modern Runtime Keys")          \
    X(kRuntimeSources, kJreSection, L"Runtime Sources")                 \
    X(kApplicationType, kApplicationSection, L"Application Type")       \
    X(kSingleInstance, kApplicationSection, L"Single Instance")         \
    X(kFailureCheck, kApplicationSection, L"Failure Check")             \
    X(kOverrideWorkingDir, kApplicationSection, L"Override WorkingDir") \
    X(kPairProduct, kApplicationSection, L"Pair Product")               \
    X(kPairReturnCode, kApplicationSection, L"Pair Return Code")        \
    X(kEmbeddedJar, kApplicationSection, L"Embedded Jar")               \
    X(kOutputFile, kApplicationSection, L"Output File")                 \
    X(kOutputAppend, kApplicationSection, L"Output Append")             \
    X(kErrorFile, kApplicationSection, L"Error File")                   \
    X(kErrorAppend, kApplicationSection, L"Error Append")               \
    X(kCmd, kApplicationSection, L"Cmd")                                \
    X(kAttachConsole, kApplicationSection, L"Attach Console")           \
    X(kConsoleErrorBoxes, kApplicationSection, L"Console Error Boxes")  \
    X(kLaunchLog, kApplicationSection, L"Launch Log")                   \
    X(kClassPath, kClassPathSection, L"Class Path")                     \
    X(kSplashScreen, kDisplaySection, L"Splash Screen")                 \
    X(kSplashScreenShadow, kDisplaySection, L"Splash Screen Shadow")    \
    X(kPreferNativeSplash, kDisplaySection, L"Preffer Native Splash Screen")

#define LAUNCHER_DEFINE_KEY(name, section, text) inline constexpr SettingKey name{section, text};
LAUNCHER_SETTING_KEYS(LAUNCHER_DEFINE_KEY)
#undef LAUNCHER_DEFINE_KEY

#define LAUNCHER_LIST_KEY(name, section, text) name,
inline constexpr std::array kAllKeys{LAUNCHER_SETTING_KEYS(LAUNCHER_LIST_KEY)};
#undef LAUNCHER_LIST_KEY

}  // namespace launcher::keys

#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the launch settings' words are interpreted. Each key compares its words either exactly or
// ignoring case; the tables below keep that choice in one place.
namespace launcher {

// "JVM Source": which kinds of registry keys are searched and favoured.
struct JvmSourceFlags {
    bool acceptJdk = false;
    bool acceptJre = false;
    bool fallBackToOtherKind = true;
};
// An empty value accepts both kinds and keeps the fall-back flag as it was.
[[nodiscard]] JvmSourceFlags jvmSourceFlags(std::wstring_view value, JvmSourceFlags current);

// "VM Provider": which vendors are accepted and preferred.
struct VmProviderFlags {
    bool acceptJRockit = false;
    bool acceptSun = true;
    bool acceptIbm = false;
    bool preferJRockit = false;
    bool preferSun = true;
    bool preferIbm = false;
    bool operator==(const VmProviderFlags&) const = default;
};
// Matched ignoring case; an empty or unknown word keeps the current flags.
[[nodiscard]] VmProviderFlags vmProviderFlags(std::wstring_view value, VmProviderFlags current);

// "JVM Type": 1 for "server", 2 for "favor_server", 0 otherwise (exact comparison).
[[nodiscard]] int jvmTypeFromSetting(std::wstring_view value);

// A "Yes" flag: "Yes" in any letter case, nothing else.
[[nodiscard]] bool isYesFlag(std::wstring_view value);

// The main class in JNI form: package dots become slashes.
[[nodiscard]] std::wstring mainClassInJniForm(std::wstring_view value);

// The Java program's arguments from the process command line: trimmed, split, and without the
// program's own path.
[[nodiscard]] std::vector<std::wstring> launchArguments(std::wstring_view commandLine);

// "-nosplash" or "/nosplash" as a whole argument (case-sensitive) suppresses the splash.
[[nodiscard]] bool splashSuppressed(const std::vector<std::wstring>& arguments);

}  // namespace launcher

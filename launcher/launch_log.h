#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jre/jre_search.h"

// The launch log: when VX_LAUNCHER_LOG or the "Launch Log" setting names a file, each launch
// appends one plain-text record of what it read, found and did, so that a start that goes wrong
// can be explained afterwards.
namespace launcher {

struct SettingsFileNote {
    std::wstring path;
    bool read = false;  // false: missing
};

struct LaunchRecord {
    std::wstring time;  // local time, "2026-12-09 15:20:01.042"
    uint32_t processId = 0;
    std::wstring executable;
    std::wstring executableVersion;  // its file version; empty when it has none
    std::vector<SettingsFileNote> settingsFiles;
    jre::SearchTrace candidates;  // the installed runtimes the search looked at
    bool secondInstance = false;  // handed its arguments to a running first instance
    std::wstring runtime;         // the JVM library chosen; empty when none was
    std::wstring runtimeVersion;  // empty when the search did not read one
    std::wstring pairProduct;     // set when the launch was handed to the pair
    std::vector<std::wstring> jvmOptions;
    std::wstring mainClass;
    std::vector<std::wstring> messages;  // the texts of the boxes and dialogs shown
    std::optional<int32_t> exitCode;
};

// The file version ("1.2.3.4") of a version resource's bytes: its fixed part is found by its
// signature on a four-byte boundary. Empty when there is none.
[[nodiscard]] std::wstring fileVersionOfResource(const unsigned char* bytes, size_t size);

// The file the "Launch Log" setting names, its environment references already expanded: a
// drive-letter or UNC path as it is, any other name (a leading backslash included) inside the
// executable's folder, which the current folder need not be. Empty when the setting names no
// file.
[[nodiscard]] std::wstring launchLogFileOfSetting(std::wstring_view expandedSetting,
                                                  std::wstring_view executableFolder);

// UTF-8 of UTF-16 text; a lone surrogate becomes U+FFFD.
[[nodiscard]] std::string utf8Of(std::wstring_view text);

// The record as it is appended: a header line, one "key: value" line per fact (lines inside a
// value are indented, so every record line but the first starts with a blank or a key), and an
// empty line at the end.
[[nodiscard]] std::string launchRecordText(const LaunchRecord& record);

}  // namespace launcher

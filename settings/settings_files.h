#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

inline constexpr std::wstring_view kJreSection = L"Java Runtime Environment";
inline constexpr std::wstring_view kJrePathKey = L"JRE Path";

// The settings file beside an executable: its path cut after the last "." followed by "ini".
// nullopt when the path holds no ".".
[[nodiscard]] std::optional<std::wstring> mainSettingsPath(std::wstring_view executablePath);

// The executable's file name with the extension replaced by ".ini" (added when it has none).
[[nodiscard]] std::wstring settingsFileBaseName(std::wstring_view executablePath);

// The product name without the characters a folder name cannot hold (\ ? " | > < : / *).
[[nodiscard]] std::wstring productFolderName(std::wstring_view productName);

// Where a per-user settings file lives: <appData>\<product folder>\<product code>\<base name>.
// The two folders are listed so that they can be created on the way.
struct PerUserSettingsLocation {
    std::wstring productFolder;
    std::wstring codeFolder;
    std::wstring file;
};
[[nodiscard]] PerUserSettingsLocation perUserSettingsLocation(std::wstring_view appData,
                                                              std::wstring_view executablePath,
                                                              std::wstring_view productName,
                                                              std::wstring_view productCode);

// The JRE folder a user chose, and what decides where it is remembered.
struct JrePathWriteBack {
    std::wstring executablePath;
    bool serviceMode = false;
    std::wstring pairProduct;  // path of the paired executable; empty when there is none
    std::wstring productName;
    std::wstring productCode;
    std::wstring jreFolder;
};

// The pair product as a path to its files: a relative "Pair Product" (the usual "MyApp64.exe")
// lies beside this executable, whatever the current folder is (a service's is the system folder,
// and the profile API puts a bare file name in the Windows folder).
[[nodiscard]] std::wstring pairProductBesideExecutable(std::wstring_view pairProduct,
                                                       std::wstring_view executablePath);

// One settings file the chosen JRE folder is written to, with the folders to create first.
struct WriteBackTarget {
    std::wstring file;
    std::vector<std::wstring> foldersToCreate;
    bool operator==(const WriteBackTarget&) const = default;
};

// A service has no user profile of its own, so it remembers the choice in the main settings
// files; anything else in the per-user ones. The pair product's files get the same value, and
// nothing is written when the executable's own settings file cannot be named.
[[nodiscard]] std::vector<WriteBackTarget> jrePathWriteBackTargets(const JrePathWriteBack& request,
                                                                   std::wstring_view appData);

}  // namespace settings

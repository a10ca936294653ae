#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "jre/jre_search.h"
#include "jre/pe_image.h"

namespace jre::fakes {

inline constexpr LauncherPlatform k32BitLauncher{kMachineI386, true};
inline constexpr LauncherPlatform k64BitLauncher{kMachineAmd64, false};

// A file system of named files, with the machine of each library image that has one and the
// content of each text file that has one.
class FakeFileSystem final : public FileSystemView {
  public:
    void addFile(std::wstring path, std::optional<uint16_t> machine = std::nullopt) {
        if (machine) machines_[path] = *machine;
        files_.insert(std::move(path));
    }
    void addTextFile(std::wstring path, std::string content) {
        contents_[path] = std::move(content);
        files_.insert(std::move(path));
    }
    [[nodiscard]] bool fileExists(std::wstring_view path) const override {
        lookedUp.emplace_back(path);
        return files_.count(std::wstring(path)) != 0;
    }
    [[nodiscard]] std::optional<uint16_t> imageMachine(std::wstring_view path) const override {
        const auto found = machines_.find(std::wstring(path));
        if (found == machines_.end()) return std::nullopt;
        return found->second;
    }
    [[nodiscard]] std::optional<std::string> readFileStart(std::wstring_view path,
                                                           size_t maxBytes) const override {
        const auto found = contents_.find(std::wstring(path));
        if (found == contents_.end()) return std::nullopt;
        return found->second.substr(0, maxBytes);
    }

    mutable std::vector<std::wstring> lookedUp;

  private:
    std::set<std::wstring> files_;
    std::map<std::wstring, uint16_t> machines_;
    std::map<std::wstring, std::string> contents_;
};

// Vendor keys with version subkeys in enumeration order, and the values below them; records
// every key it is asked for.
class FakeRegistry final : public RegistryReader {
  public:
    using KeyId = std::tuple<RegistryRoot, RegistryView, std::wstring>;

    // A classic installation: a version subkey of `keyPath` under HKEY_LOCAL_MACHINE with its
    // "JavaHome".
    void addInstallation(RegistryView view, std::wstring_view keyPath, std::wstring subkey,
                         std::optional<std::wstring> javaHome) {
        addValue(RegistryRoot::LocalMachine, view, keyPath, std::move(subkey), L"", L"JavaHome",
                 std::move(javaHome));
    }
    // An installation under one of the vendors' own keys, laid out as that key's row says.
    void addVendorInstallation(const RegistryKeySpec& key, std::wstring versionKey,
                               std::optional<std::wstring> folder,
                               RegistryView view = RegistryView::Default) {
        addValue(key.root, view, key.path, std::move(versionKey), key.belowVersion, key.valueName,
                 std::move(folder));
    }

    [[nodiscard]] std::optional<std::vector<std::wstring>> subkeyNames(
        RegistryRoot root, std::wstring_view keyPath, RegistryView view) const override {
        KeyId id{root, view, std::wstring(keyPath)};
        openedKeys.push_back(id);
        const auto found = subkeys_.find(id);
        if (found == subkeys_.end()) return std::nullopt;
        return found->second;
    }
    [[nodiscard]] std::optional<std::wstring> textValue(RegistryRoot root,
                                                        std::wstring_view keyPath,
                                                        std::wstring_view subkey,
                                                        std::wstring_view valueName,
                                                        RegistryView view) const override {
        const std::wstring path = std::wstring(keyPath) + std::wstring(subkey);
        readHomes.push_back(path);
        const auto found = values_.find({{root, view, path}, std::wstring(valueName)});
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }

    mutable std::vector<KeyId> openedKeys;
    mutable std::vector<std::wstring> readHomes;

  private:
    void addValue(RegistryRoot root, RegistryView view, std::wstring_view keyPath,
                  std::wstring subkey, std::wstring_view below, std::wstring_view valueName,
                  std::optional<std::wstring> value) {
        auto& names = subkeys_[{root, view, std::wstring(keyPath)}];
        if (std::find(names.begin(), names.end(), subkey) == names.end()) names.push_back(subkey);
        const std::wstring path = std::wstring(keyPath) + subkey + std::wstring(below);
        values_[{{root, view, path}, std::wstring(valueName)}] = std::move(value);
    }

    std::map<KeyId, std::vector<std::wstring>> subkeys_;
    std::map<std::pair<KeyId, std::wstring>, std::optional<std::wstring>> values_;
};

}  // namespace jre::fakes

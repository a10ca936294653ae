#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jre/jre_search.h"

namespace jre::fakes {

// A file system of named files, with the machine of each library image that has one.
class FakeFileSystem final : public FileSystemView {
  public:
    void addFile(std::wstring path, std::optional<uint16_t> machine = std::nullopt) {
        if (machine) machines_[path] = *machine;
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

    mutable std::vector<std::wstring> lookedUp;

  private:
    std::set<std::wstring> files_;
    std::map<std::wstring, uint16_t> machines_;
};

// Vendor keys with version subkeys in enumeration order; records every key it is asked for.
class FakeRegistry final : public RegistryReader {
  public:
    void addInstallation(RegistryView view, std::wstring_view keyPath, std::wstring subkey,
                         std::optional<std::wstring> javaHome) {
        keys_[{view, std::wstring(keyPath)}].push_back({std::move(subkey), std::move(javaHome)});
    }
    [[nodiscard]] std::optional<std::vector<std::wstring>> subkeyNames(
        std::wstring_view keyPath, RegistryView view) const override {
        openedKeys.emplace_back(view, keyPath);
        const auto found = keys_.find({view, std::wstring(keyPath)});
        if (found == keys_.end()) return std::nullopt;
        std::vector<std::wstring> names;
        for (const auto& entry : found->second) names.push_back(entry.subkey);
        return names;
    }
    [[nodiscard]] std::optional<std::wstring> javaHome(std::wstring_view keyPath,
                                                       std::wstring_view subkey,
                                                       RegistryView view) const override {
        readHomes.push_back(std::wstring(keyPath) + std::wstring(subkey));
        const auto found = keys_.find({view, std::wstring(keyPath)});
        if (found == keys_.end()) return std::nullopt;
        for (const auto& entry : found->second) {
            if (entry.subkey == subkey) return entry.javaHome;
        }
        return std::nullopt;
    }

    mutable std::vector<std::pair<RegistryView, std::wstring>> openedKeys;
    mutable std::vector<std::wstring> readHomes;

  private:
    struct Entry {
        std::wstring subkey;
        std::optional<std::wstring> javaHome;
    };
    std::map<std::pair<RegistryView, std::wstring>, std::vector<Entry>> keys_;
};

}  // namespace jre::fakes

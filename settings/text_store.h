#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_snapshot.h"
#include "settings/settings_store.h"

namespace settings {

// INI text held in memory, with no file behind it (the base text of a layered store). It reads
// by the same rules as a settings file (IniSnapshot) and cannot be written.
class TextStore : public SettingsStore {
  public:
    TextStore() = default;

    // Replaces the whole content with the result of parsing `text`.
    void parse(std::wstring_view text) { content_ = IniSnapshot::parse(text); }

    // The value of the first matching entry, or null when the section or key is missing.
    [[nodiscard]] const std::wstring* find(std::wstring_view section, std::wstring_view key) const {
        return content_.find(section, key);
    }

    // Sets the buffer to zero and returns ERROR_INVALID_FUNCTION (1): there is no file.
    uint32_t probe(std::array<uint8_t, 4>& buffer) override;
    // Leaves `out` unchanged when the section or key is missing.
    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override;
    void getSectionNames(std::vector<std::wstring>& out) const override;
    // Return false: the text is read-only, and there is no file to remove.
    bool setString(std::wstring_view section, std::wstring_view key,
                   std::wstring_view value) override;
    bool remove() override;

  private:
    IniSnapshot content_;
};

}  // namespace settings

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"

namespace settings {

// INI text parsed in memory. Sections are never merged and keys never replaced: a name that
// occurs twice gives two sections, and every lookup takes the first match, so the first
// occurrence wins. Names and keys compare exactly (case-sensitive).
//
// The syntax: lines end at "\r\n" only; "[name]" (white space allowed around the brackets,
// kept inside them) starts a section; "key=value" lines inside a section give entries with key
// and value trimmed. Everything else is ignored: there are no comments, quotes or escapes.
class TextStore : public SettingsStore {
  public:
    TextStore() = default;

    // Replaces the whole content with the result of parsing `text`.
    void parse(std::wstring_view text);

    // The value of the first matching entry, or null when the section or key is missing.
    [[nodiscard]] const std::wstring* find(std::wstring_view section, std::wstring_view key) const;

    // Sets the buffer to zero and returns ERROR_INVALID_FUNCTION (1): there is no file.
    uint32_t probe(std::array<uint8_t, 4>& buffer) override;
    // Leaves `out` unchanged when the section or key is missing.
    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override;
    void getSectionNames(std::vector<std::wstring>& out) const override;
    // Appends an entry to the first section of that name (created when missing).
    bool setString(std::wstring_view section, std::wstring_view key,
                   std::wstring_view value) override;
    // Does nothing and returns false: there is no file to remove.
    bool remove() override;

  private:
    struct Entry {
        std::wstring key;
        std::wstring value;
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
    };

    void parseLine(std::wstring_view line);

    std::vector<Section> sections_;
};

}  // namespace settings

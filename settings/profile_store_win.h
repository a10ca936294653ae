#pragma once

#include <string>
#include <string_view>

#include "settings/settings_store.h"
#include "settings/text_store.h"

namespace settings {

// A settings store over one INI file through the Windows profile API. Nothing is held in
// memory: every read goes back to the file, which need not exist. getString always leaves
// `out` complete, empty when the file, section or key is missing.
class ProfileStore : public SettingsStore {
  public:
    explicit ProfileStore(std::wstring path);

    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }

    // The first four bytes of the file (fewer leave zeros); 0 or the Win32 error.
    uint32_t probe(std::array<uint8_t, 4>& buffer) override;
    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override;
    void getSectionNames(std::vector<std::wstring>& out) const override;
    bool setString(std::wstring_view section, std::wstring_view key,
                   std::wstring_view value) override;
    // Deletes the file.
    bool remove() override;

  private:
    std::wstring path_;
};

// The settings file laid over a base text: a non-empty file value replaces the base value, and
// the file's section "<name>+" extends it after one space. The base layer is never written;
// every other operation acts on the file alone.
class LayeredStore : public ProfileStore {
  public:
    LayeredStore(std::wstring path, std::wstring_view baseText);

    // Replaces the base layer with the parse of `text`.
    void loadBase(std::wstring_view text);

    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override;

  private:
    TextStore baseLayer_;
};

}  // namespace settings

#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "settings/ini_snapshot.h"
#include "settings/settings_store.h"
#include "settings/text_store.h"

namespace settings {

// A settings store over one INI file, read once into a snapshot with the profile API's rules:
// later reads never go back to the file, which need not exist. Several stores may share one
// snapshot, so a launch reads each file once. getString always leaves `out` complete, empty
// when the file, section or key is missing. A write goes to the file through the profile API,
// and this store (not the others sharing the old snapshot) then reads the file anew.
class ProfileStore : public SettingsStore {
  public:
    explicit ProfileStore(std::wstring path);
    ProfileStore(std::wstring path, std::shared_ptr<const IniSnapshot> content);

    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }
    [[nodiscard]] const std::shared_ptr<const IniSnapshot>& content() const noexcept {
        return content_;
    }

    // The first four bytes of the file (fewer leave zeros); 0 or the Win32 error.
    uint32_t probe(std::array<uint8_t, 4>& buffer) override;
    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override;
    void getSectionNames(std::vector<std::wstring>& out) const override;
    bool setString(std::wstring_view section, std::wstring_view key,
                   std::wstring_view value) override;
    // Deletes the file; the store then reads as empty.
    bool remove() override;

  private:
    std::wstring path_;
    std::shared_ptr<const IniSnapshot> content_;
};

// The settings file laid over a base text: a non-empty file value replaces the base value, and
// the file's section "<name>+" extends it after one space. The base layer is never written;
// every other operation acts on the file alone.
class LayeredStore : public ProfileStore {
  public:
    LayeredStore(std::wstring path, std::wstring_view baseText);
    LayeredStore(std::wstring path, std::shared_ptr<const IniSnapshot> content,
                 std::wstring_view baseText);

    // Replaces the base layer with the parse of `text`.
    void loadBase(std::wstring_view text);

    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override;

  private:
    TextStore baseLayer_;
};

// The snapshot of a settings file, to be shared by the stores over it.
[[nodiscard]] std::shared_ptr<const IniSnapshot> settingsSnapshot(std::wstring_view path);

}  // namespace settings

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// A settings store over one INI source. Reads never fail: anything missing reads as empty.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // Reads the first four bytes of the backing file; returns a Win32 error code, 0 on success.
    virtual uint32_t probe(std::array<uint8_t, 4>& buffer) = 0;
    // Reads one value. Implementations document whether `out` is cleared when nothing is found.
    virtual void getString(std::wstring_view section, std::wstring_view key,
                           std::wstring& out) const = 0;
    virtual void getSectionNames(std::vector<std::wstring>& out) const = 0;
    virtual bool setString(std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) = 0;
    virtual bool remove() = 0;

    // Convenience for readers: the value, or the empty string.
    [[nodiscard]] std::wstring read(std::wstring_view section, std::wstring_view key) const {
        std::wstring value;
        getString(section, key, value);
        return value;
    }
};

}  // namespace settings

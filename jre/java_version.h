#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace jre {

// A Java version as four signed components, most significant first. Components missing from a
// text take a fill value chosen by the caller; 0.0.0.0 and all-65535 double as "no bound".
struct JavaVersion {
    std::array<int32_t, 4> parts{};
    bool operator==(const JavaVersion&) const = default;
};

inline constexpr int32_t kOpenMaximumComponent = 65535;

// Reads the runs of decimal digits in `text` as components; anything else separates them, text
// before the first digit is ignored and a fifth number ends the reading. Components not given
// take `fill`. False (and 0.0.0.0) when the text has no digit or a component exceeds INT32_MAX.
bool parseVersion(std::wstring_view text, int32_t fill, JavaVersion& out);

// "1.8", "1.8.0.151": trailing 0 and 65535 components are left out, but at least two are shown;
// a version with nothing else is "0.0.0.0".
[[nodiscard]] std::wstring formatVersion(const JavaVersion& version);

// Negative, zero or positive, comparing the components in order as signed integers.
[[nodiscard]] int compareVersions(const JavaVersion& a, const JavaVersion& b);

// The bounds as the settings give them: "any" (exactly) is open; otherwise the parsed text, and
// 0.0.0.0 when it has no digits.
[[nodiscard]] JavaVersion minimumVersionFromSetting(std::wstring_view text);
[[nodiscard]] JavaVersion maximumVersionFromSetting(std::wstring_view text);

// A bound with all four components equal to 0 or to 65535 stands for "no bound".
[[nodiscard]] bool isOpenBound(const JavaVersion& version) noexcept;

// Both bounds inclusive.
[[nodiscard]] bool isWithinBounds(const JavaVersion& version, const JavaVersion& minimum,
                                  const JavaVersion& maximum);

// A preferred version names only its leading components: it matches a candidate equal to it up
// to its last non-zero component, so 1.8 matches 1.8.0.151 and 0.0.0.0 matches everything.
[[nodiscard]] bool matchesPreferredVersion(const JavaVersion& preferred,
                                           const JavaVersion& candidate);

}  // namespace jre

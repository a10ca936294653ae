#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace jre {

inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;

// The machine field of a PE image's file header, or nullopt when the bytes are not such an
// image ("MZ", a new-header offset that stays inside the bytes, "PE\0\0" there).
[[nodiscard]] std::optional<uint16_t> peMachine(std::span<const uint8_t> image) noexcept;

// A runtime library needs the paired launcher when one is configured and the library is an
// image built for another machine than this launcher. Anything unreadable keeps this launcher.
[[nodiscard]] bool needsPairForMachine(std::optional<uint16_t> libraryMachine,
                                       std::wstring_view pairProduct, uint16_t launcherMachine);

}  // namespace jre

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace jre {

inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;
inline constexpr uint16_t kMachineArm64 = 0xAA64;

// The machine field of a PE image's file header, or nullopt when the bytes are not such an
// image ("MZ", a new-header offset that stays inside the bytes, "PE\0\0" there).
[[nodiscard]] std::optional<uint16_t> peMachine(std::span<const uint8_t> image) noexcept;

// A runtime library needs the paired launcher when one is configured and the library is an
// image built for another machine than this launcher. Anything unreadable keeps this launcher.
[[nodiscard]] bool needsPairForMachine(std::optional<uint16_t> libraryMachine,
                                       std::wstring_view pairProduct, uint16_t launcherMachine);

// Whether a library can be run at all from this launcher: by itself, or by handing over to the
// paired launcher. A library for another machine without a pair would only fail to load (error
// 193) on every start. Anything unreadable is left to the load to judge.
[[nodiscard]] bool canRunLibrary(std::optional<uint16_t> libraryMachine,
                                 std::wstring_view pairProduct, uint16_t launcherMachine);

// How a machine is named to the user: "32-bit", "64-bit", "ARM64", or its number.
[[nodiscard]] std::wstring machineName(uint16_t machine);

}  // namespace jre

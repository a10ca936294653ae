#pragma once

#include <array>
#include <cstddef>

namespace fakejvm {

inline constexpr std::size_t kJniSlotCount = 234;

// Slot names of the JNIEnv function table, so an unimplemented call can say which it was.
extern const std::array<const char*, kJniSlotCount> kJniSlotNames;

}  // namespace fakejvm

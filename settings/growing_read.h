#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// The profile API reports a cut value only by filling the buffer: the result then equals the
// buffer size minus a margin (1 for a value, 2 for the block of section names). Such reads are
// repeated with buffers of 256, 512, 1024, ... characters until the text fits. Growth stops at
// kMaxProfileReadChars (4 Mi characters, 8 MiB): a longer value is returned cut there rather
// than exhausting the process's memory.
inline constexpr uint32_t kFirstProfileReadChars = 256;
inline constexpr uint32_t kMaxProfileReadChars = 1u << 22;

// One call of the profile API: fills at most `size` characters, returns the count it reports.
using ProfileRead = std::function<uint32_t(wchar_t* buffer, uint32_t size)>;

// The characters the last read reported (embedded NULs kept, never beyond the buffer).
[[nodiscard]] std::wstring readWithGrowingBuffer(const ProfileRead& read, uint32_t cutMargin);

// A value read through the profile API: the text up to its terminator.
[[nodiscard]] std::wstring readProfileValue(const ProfileRead& read);

// Section names from the profile API: the NUL-separated block, non-empty names in order.
void readProfileSectionNames(const ProfileRead& read, std::vector<std::wstring>& out);

// Appends the non-empty NUL-separated names of `block` to `out`.
void appendNulSeparatedNames(std::wstring_view block, std::vector<std::wstring>& out);

}  // namespace settings

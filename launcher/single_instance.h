#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The hand-over between two starts of the same executable, as pure values: the object names,
// the shared block's layout and the argument area's encoding. The block is read and written by
// every copy of the launcher, whatever its bitness or version, so its layout never changes.
namespace launcher::single_instance {

// SharedInstanceBlock: three little-endian 32-bit fields and the argument area.
inline constexpr std::size_t kBlockSize = 2092;
inline constexpr std::size_t kRequestThreadIdOffset = 0;
inline constexpr std::size_t kProcessIdOffset = 4;
inline constexpr std::size_t kMessageIdOffset = 8;
inline constexpr std::size_t kArgumentAreaOffset = 12;
inline constexpr std::size_t kArgumentAreaSize = kBlockSize - kArgumentAreaOffset;
// A second instance writes (and first zeroes) no more than this many bytes of the area.
inline constexpr std::size_t kArgumentLimit = 1040;

// Whether the mode is on: never for a service, and only for "yes" exactly.
[[nodiscard]] bool wanted(std::wstring_view applicationType, std::wstring_view singleInstance);

// The executable's full path with every backslash replaced by "_": the root of every shared
// object's name. Copies in different folders thus never meet.
[[nodiscard]] std::wstring instanceName(std::wstring_view executablePath);

// The system refuses longer names: a registered message is an atom of at most 255 characters,
// and a named kernel object's name must stay below MAX_PATH.
inline constexpr std::size_t kMessageNameLimit = 255;
inline constexpr std::size_t kObjectNameLimit = 259;
// fullName itself when it fits within limit; otherwise a short name made of a 64-bit hash of
// fullName and its last characters (the executable's name and the object's suffix), so that a
// deep folder still gets single-instance mode and different paths still get different names.
[[nodiscard]] std::wstring fittedName(std::wstring_view fullName, std::size_t limit);

// The file mapping that holds the shared block.
[[nodiscard]] std::wstring mappingName(std::wstring_view instanceName);
// The registered message of both the request and the answer.
[[nodiscard]] std::wstring messageName(std::wstring_view instanceName);
// The manual-reset event signalled when the first instance's main method is about to run.
[[nodiscard]] std::wstring startedEventName(std::wstring_view instanceName);
// The mutex a starting process holds while it sets the block up or hands its arguments over.
[[nodiscard]] std::wstring handOverMutexName(std::wstring_view instanceName);
// The auto-reset event the first instance signals once it has copied a hand-over's arguments.
[[nodiscard]] std::wstring copiedEventName(std::wstring_view instanceName);

// The lParam of a reply that is no answer: the first instance stopped serving before it called
// secondaryMain (it handed the launch over to its pair), so the second start is to go on as a
// first start. Answers carry 0; a launcher that knows nothing of this reads the wParam, -1.
inline constexpr std::uint32_t kStartAfreshReply = 0x53544152;  // "STAR"
inline constexpr std::int32_t kStartAfreshAnswer = -1;

[[nodiscard]] std::uint32_t readField(std::span<const std::uint8_t> block, std::size_t offset);
void writeField(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value);

// Bytes the arguments take in the area: two per UTF-16 unit, a zero unit after each, and one
// more zero unit ending the list. Saturates instead of overflowing.
[[nodiscard]] std::size_t argumentBytes(const std::vector<std::wstring>& arguments);

// The first kArgumentLimit bytes of the area holding the arguments, zero-filled behind them;
// nullopt when they need more than kArgumentLimit bytes.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodeArguments(
    const std::vector<std::wstring>& arguments);

// Reads the list back: each zero unit ends a string, a second zero right after ends the list.
// An empty hand-over gives one empty string. An area without its final zeros ends at its end.
[[nodiscard]] std::vector<std::wstring> decodeArguments(std::span<const std::uint8_t> area);

}  // namespace launcher::single_instance

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading what the fake JVM recorded. Pure string work, shared by tests and tools.
namespace support {

// The lines of a record file's text, '\r' and '\n' removed.
[[nodiscard]] std::vector<std::string> splitLines(std::string_view text);

// Lines that begin with prefix, with the prefix removed.
[[nodiscard]] std::vector<std::string> linesAfter(const std::vector<std::string>& lines,
                                                  std::string_view prefix);

// True when some line equals text.
[[nodiscard]] bool hasLine(const std::vector<std::string>& lines, std::string_view text);

// Index of the first line equal to text (or beginning with it when prefix is true).
[[nodiscard]] std::optional<std::size_t> indexOf(const std::vector<std::string>& lines,
                                                 std::string_view text, bool prefix = false);

// Four hex digits per UTF-16 unit back to text; nullopt when malformed.
[[nodiscard]] std::optional<std::u16string> unitsFromHex(std::string_view hex);

// The arguments recorded for one call of main (heading "main", items "arg") or secondaryMain
// (heading "secondaryMain", items "secondaryArg"); occurrence picks the call. nullopt when the
// call is not in the record or its lines are malformed.
[[nodiscard]] std::optional<std::vector<std::u16string>> recordedArguments(
    const std::vector<std::string>& lines, std::string_view heading = "main",
    std::string_view item = "arg", std::size_t occurrence = 0);

// The "option" lines in order.
[[nodiscard]] std::vector<std::string> recordedOptions(const std::vector<std::string>& lines);

}  // namespace support

#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace jvm {

// Where a date-and-time pattern sits in a file name: the text strictly between the first and
// the last percent sign.
struct TimestampPatternSpan {
    std::size_t firstPercent;
    std::size_t lastPercent;
};

// The span of the pattern, or nullopt when the name has fewer than two percent signs.
[[nodiscard]] std::optional<TimestampPatternSpan> findTimestampPattern(std::wstring_view name);

// The pattern with every "L" replaced by the milliseconds in decimal, without leading zeros.
[[nodiscard]] std::wstring withMilliseconds(std::wstring_view pattern, unsigned milliseconds);

// Formats a pattern with one kind of picture (time or date); an empty result stands for a
// failed formatting.
using PatternFormatter = std::function<std::wstring(const std::wstring& pattern)>;

// Rewrites name in place: the pattern between the first and last "%" gets its milliseconds,
// then its time pictures, then its date pictures (time first, so that the date pass does not
// read the time pictures), and replaces both percent signs and everything between them.
void expandTimestampPattern(std::wstring& name, unsigned milliseconds,
                            const PatternFormatter& formatTime, const PatternFormatter& formatDate);

}  // namespace jvm

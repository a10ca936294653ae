#include "jvm/timestamp_pattern.h"

namespace jvm {

std::optional<TimestampPatternSpan> findTimestampPattern(std::wstring_view name) {
    const std::size_t first = name.find(L'%');
    const std::size_t last = name.rfind(L'%');
    if (first == std::wstring_view::npos || first == last) return std::nullopt;
    return TimestampPatternSpan{first, last};
}

std::wstring withMilliseconds(std::wstring_view pattern, unsigned milliseconds) {
    const std::wstring digits = std::to_wstring(milliseconds);
    std::wstring out;
    out.reserve(pattern.size());
    for (const wchar_t c : pattern) {
        if (c == L'L') {
            out += digits;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void expandTimestampPattern(std::wstring& name, unsigned milliseconds,
                            const PatternFormatter& formatTime,
                            const PatternFormatter& formatDate) {
    const auto span = findTimestampPattern(name);
    if (!span) return;
    const std::wstring_view view = name;
    const std::wstring pattern = withMilliseconds(
        view.substr(span->firstPercent + 1, span->lastPercent - span->firstPercent - 1),
        milliseconds);
    const std::wstring formatted = formatDate(formatTime(pattern));
    name = std::wstring(view.substr(0, span->firstPercent)) + formatted +
           std::wstring(view.substr(span->lastPercent + 1));
}

}  // namespace jvm

#include <windows.h>

#include "jvm/timestamp_pattern_win.h"

#include "jvm/timestamp_pattern.h"

namespace jvm {

namespace {

// Longer results count as failures, as with a fixed buffer of this size.
constexpr int maximumFormattedLength = 260;

using FormatFunction = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

// Asks for the length first and formats into a buffer of exactly that size. Overlong patterns
// are refused before the call: Wine's formatting overruns an internal buffer on them.
std::wstring formatWith(FormatFunction format, const SYSTEMTIME& time,
                        const std::wstring& pattern) {
    if (pattern.size() >= maximumFormattedLength) return {};
    const int needed = format(LOCALE_USER_DEFAULT, 0, &time, pattern.c_str(), nullptr, 0);
    if (needed <= 0 || needed > maximumFormattedLength) return {};
    std::wstring buffer(static_cast<std::size_t>(needed), L'\0');
    const int written =
        format(LOCALE_USER_DEFAULT, 0, &time, pattern.c_str(), buffer.data(), needed);
    if (written <= 0) return {};
    buffer.resize(static_cast<std::size_t>(written - 1));
    return buffer;
}

bool hasPercent(const std::wstring& name) { return name.find(L'%') != std::wstring::npos; }

}  // namespace

void expandTimestampPattern(std::wstring& name, const SYSTEMTIME& time) {
    expandTimestampPattern(
        name, time.wMilliseconds,
        [&time](const std::wstring& pattern) { return formatWith(&GetTimeFormatW, time, pattern); },
        [&time](const std::wstring& pattern) {
            return formatWith(&GetDateFormatW, time, pattern);
        });
}

void expandTimestampPatterns(std::wstring& outputFile, std::wstring& errorFile) {
    if (!hasPercent(outputFile) && !hasPercent(errorFile)) return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (hasPercent(outputFile)) expandTimestampPattern(outputFile, now);
    if (hasPercent(errorFile)) expandTimestampPattern(errorFile, now);
}

}  // namespace jvm

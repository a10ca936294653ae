#include <windows.h>

#include "jvm/timestamp_pattern_win.h"

#include "jvm/timestamp_pattern.h"

namespace jvm {

namespace {

constexpr int formatBufferLength = 260;

std::wstring formatTime(const SYSTEMTIME& time, const std::wstring& pattern) {
    wchar_t buffer[formatBufferLength] = {};
    const int written = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, pattern.c_str(), buffer,
                                       formatBufferLength);
    return written > 0 ? std::wstring(buffer) : std::wstring();
}

std::wstring formatDate(const SYSTEMTIME& time, const std::wstring& pattern) {
    wchar_t buffer[formatBufferLength] = {};
    const int written = GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, pattern.c_str(), buffer,
                                       formatBufferLength);
    return written > 0 ? std::wstring(buffer) : std::wstring();
}

bool hasPercent(const std::wstring& name) { return name.find(L'%') != std::wstring::npos; }

}  // namespace

void expandTimestampPattern(std::wstring& name, const SYSTEMTIME& time) {
    expandTimestampPattern(
        name, time.wMilliseconds,
        [&time](const std::wstring& pattern) { return formatTime(time, pattern); },
        [&time](const std::wstring& pattern) { return formatDate(time, pattern); });
}

void expandTimestampPatterns(std::wstring& outputFile, std::wstring& errorFile) {
    if (!hasPercent(outputFile) && !hasPercent(errorFile)) return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (hasPercent(outputFile)) expandTimestampPattern(outputFile, now);
    if (hasPercent(errorFile)) expandTimestampPattern(errorFile, now);
}

}  // namespace jvm

// Feeds arbitrary UTF-16 file names to the date-and-time pattern expansion of the output and
// error file names, with formatters that echo, grow or fail.
#include <cstdlib>
#include <string>

#include "jvm/timestamp_pattern.h"
#include "tests/fuzz/fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    const std::wstring name = fuzz::wideFromBytes(data + 1, size - 1);

    const auto span = jvm::findTimestampPattern(name);
    if (span && !(span->firstPercent < span->lastPercent && span->lastPercent < name.size())) {
        std::abort();
    }
    (void)jvm::withMilliseconds(name, mode * 7u);

    const jvm::PatternFormatter formatTime = [mode](const std::wstring& pattern) {
        return (mode & 1) != 0 ? std::wstring() : pattern + L"t";
    };
    const jvm::PatternFormatter formatDate = [mode](const std::wstring& pattern) {
        return (mode & 2) != 0 ? std::wstring() : pattern;
    };
    std::wstring expanded = name;
    jvm::expandTimestampPattern(expanded, mode * 3u, formatTime, formatDate);
    // Without a pattern the name is left alone.
    if (!span && expanded != name) std::abort();
    return 0;
}

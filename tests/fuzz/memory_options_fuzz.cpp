// Feeds arbitrary UTF-16 text to the memory and stack size parsers as an "-Xms"/"-Xmx"/"-Xss"
// value, and the numbers it yields to the percentage arithmetic.
#include <cstdlib>
#include <string>

#include "jvm/memory_options.h"
#include "tests/fuzz/fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the option, the rest is its value.
    static const wchar_t* const kNames[] = {L"-Xms", L"-Xmx", L"-Xss", L""};
    const std::wstring token = kNames[data[0] % 4] + fuzz::wideFromBytes(data + 1, size - 1);

    const jvm::NumberList list = jvm::parseNumberList(token);
    if (list.prefixLength > token.size()) std::abort();
    (void)jvm::stackSizeFromOption(token);

    if (jvm::isPercentMemoryOption(token)) {
        std::wstring rewritten = token;
        jvm::rewritePercentMemoryOption(rewritten, {uint64_t{48} << 30, uint64_t{128} << 40});
        // The rewritten option keeps its name and states a size in kilobytes.
        if (rewritten.compare(0, 4, token, 0, 4) != 0) std::abort();
    }

    const uint32_t share = list.numbers.empty() ? 0 : list.numbers[0];
    const uint32_t lower = list.numbers.size() > 1 ? list.numbers[1] : 0;
    const uint32_t upper = list.numbers.size() > 2 ? list.numbers[2] : 0;
    const uint64_t base = uint64_t{1} << 40;
    const uint64_t kilobytes = jvm::percentMemoryKilobytes(base, share, lower, upper);
    // A lower bound, when given, is always met.
    if (lower != 0 && kilobytes < uint64_t{lower} * 1024) std::abort();
    return 0;
}

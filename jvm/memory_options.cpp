#include "jvm/memory_options.h"

#include <limits>

namespace jvm {

namespace {

constexpr std::wstring_view kHeapMinimum = L"-Xms";
constexpr std::wstring_view kHeapMaximum = L"-Xmx";
constexpr std::wstring_view kThreadStack = L"-Xss";

bool isAsciiDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

uint32_t digitValue(wchar_t c) noexcept { return static_cast<uint32_t>(c - L'0'); }

bool isVirtualMemoryUnit(wchar_t c) noexcept { return c == L'T' || c == L't'; }

uint32_t numberAt(const std::vector<uint32_t>& numbers, size_t index) noexcept {
    return index < numbers.size() ? numbers[index] : 0;
}

}  // namespace

bool isPercentMemoryOption(std::wstring_view token) noexcept {
    if (token.size() < 4) return false;
    const std::wstring_view name = token.substr(0, 4);
    if (name != kHeapMinimum && name != kHeapMaximum && name != kThreadStack) return false;
    const wchar_t unit = token.back();
    return unit == L'P' || unit == L'p' || isVirtualMemoryUnit(unit);
}

NumberList parseNumberList(std::wstring_view text) {
    NumberList result;
    size_t start = 0;
    while (start < text.size() && !isAsciiDigit(text[start]) && text[start] != L':') ++start;
    result.prefixLength = start;
    if (start == text.size()) return result;

    result.numbers.push_back(0);
    // The last character is the unit letter and never part of a number.
    for (size_t i = start; i + 1 < text.size(); ++i) {
        const wchar_t c = text[i];
        if (isAsciiDigit(c)) {
            result.numbers.back() = result.numbers.back() * 10u + digitValue(c);
        } else if (c == L':') {
            result.numbers.push_back(0);
        }
    }
    return result;
}

uint64_t percentMemoryKilobytes(uint64_t baseKilobytes, uint32_t sharePercent,
                                uint32_t lowerMegabytes, uint32_t upperMegabytes) noexcept {
    const double exact =
        static_cast<double>(baseKilobytes) * (static_cast<double>(sharePercent) / 100.0);
    // 2^64 as a double: anything at or above it saturates instead of overflowing the cast.
    constexpr double kLimit = 18446744073709551616.0;
    uint64_t size =
        exact >= kLimit ? std::numeric_limits<uint64_t>::max() : static_cast<uint64_t>(exact);

    // Bounds are megabytes of up to 32 bits; in 64 bits their kilobyte figures cannot wrap.
    const uint64_t upper = uint64_t{upperMegabytes} * 1024u;
    const uint64_t lower = uint64_t{lowerMegabytes} * 1024u;
    if (upper != 0 && size > upper) size = upper;
    if (size < lower) size = lower;
    return size;
}

void rewritePercentMemoryOption(std::wstring& token, const MemoryFigures& figures) {
    const NumberList parsed = parseNumberList(token);
    const bool virtualMemory = !token.empty() && isVirtualMemoryUnit(token.back());
    const uint64_t base = (virtualMemory ? figures.availableVirtual : figures.totalPhysical) >> 10;
    const uint64_t size =
        percentMemoryKilobytes(base, numberAt(parsed.numbers, 0), numberAt(parsed.numbers, 1),
                               numberAt(parsed.numbers, 2));
    std::wstring rewritten = token.substr(0, parsed.prefixLength);
    rewritten += std::to_wstring(size);
    rewritten += L'K';
    token = std::move(rewritten);
}

uint32_t stackSizeFromOption(std::wstring_view token) noexcept {
    if (token.size() < kThreadStack.size()) return 0;
    const std::wstring_view value = token.substr(kThreadStack.size());
    if (value.empty() || !isAsciiDigit(value.front())) return 0;
    const size_t colon = value.find(L':');
    if (colon != std::wstring_view::npos && colon + 1 != value.size()) return 0;

    uint32_t number = 0;
    for (const wchar_t c : value) {
        if (isAsciiDigit(c)) number = number * 10u + digitValue(c);
    }
    uint32_t multiplier = 1;
    switch (value.back()) {
        case L'G':
        case L'g':
            multiplier = 1u << 30;
            break;
        case L'M':
        case L'm':
            multiplier = 1u << 20;
            break;
        case L'K':
        case L'k':
            multiplier = 1u << 10;
            break;
        default:
            break;
    }
    return number * multiplier;
}

}  // namespace jvm

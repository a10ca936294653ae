#include "jre/java_version.h"

#include <cstddef>
#include <limits>

namespace jre {

namespace {

bool isDecimalDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

}  // namespace

bool isOpenBound(const JavaVersion& version) noexcept {
    const int32_t first = version.parts[0];
    if (first != 0 && first != kOpenMaximumComponent) return false;
    for (const int32_t part : version.parts) {
        if (part != first) return false;
    }
    return true;
}

bool parseVersion(std::wstring_view text, int32_t fill, JavaVersion& out) {
    out = JavaVersion{};
    size_t position = 0;
    while (position < text.size() && !isDecimalDigit(text[position])) ++position;
    if (position == text.size()) return false;

    JavaVersion parsed;
    size_t componentsRead = 0;
    while (position < text.size() && componentsRead < parsed.parts.size()) {
        int64_t value = 0;
        while (position < text.size() && isDecimalDigit(text[position])) {
            value = value * 10 + (text[position] - L'0');
            if (value > std::numeric_limits<int32_t>::max()) return false;
            ++position;
        }
        parsed.parts[componentsRead++] = static_cast<int32_t>(value);
        while (position < text.size() && !isDecimalDigit(text[position])) ++position;
    }
    for (size_t i = componentsRead; i < parsed.parts.size(); ++i) parsed.parts[i] = fill;
    out = parsed;
    return true;
}

std::wstring formatVersion(const JavaVersion& version) {
    int last = -1;
    for (int i = 3; i >= 0; --i) {
        const int32_t part = version.parts[static_cast<size_t>(i)];
        if (part != 0 && part != kOpenMaximumComponent) {
            last = i;
            break;
        }
    }
    if (last < 0) return L"0.0.0.0";
    if (last < 1) last = 1;
    std::wstring text;
    for (int i = 0; i <= last; ++i) {
        if (i > 0) text += L'.';
        text += std::to_wstring(version.parts[static_cast<size_t>(i)]);
    }
    return text;
}

int compareVersions(const JavaVersion& a, const JavaVersion& b) {
    for (size_t i = 0; i < a.parts.size(); ++i) {
        if (a.parts[i] < b.parts[i]) return -1;
        if (a.parts[i] > b.parts[i]) return 1;
    }
    return 0;
}

JavaVersion minimumVersionFromSetting(std::wstring_view text) {
    JavaVersion version;
    if (text != L"any") parseVersion(text, 0, version);
    return version;
}

JavaVersion maximumVersionFromSetting(std::wstring_view text) {
    JavaVersion version;
    if (text == L"any") {
        version.parts.fill(kOpenMaximumComponent);
    } else {
        parseVersion(text, kOpenMaximumComponent, version);
    }
    return version;
}

bool isWithinBounds(const JavaVersion& version, const JavaVersion& minimum,
                    const JavaVersion& maximum) {
    return compareVersions(minimum, version) <= 0 && compareVersions(version, maximum) <= 0;
}

bool matchesPreferredVersion(const JavaVersion& preferred, const JavaVersion& candidate) {
    size_t significant = preferred.parts.size();
    while (significant > 0 && preferred.parts[significant - 1] == 0) --significant;
    for (size_t i = 0; i < significant; ++i) {
        if (preferred.parts[i] != candidate.parts[i]) return false;
    }
    return true;
}

}  // namespace jre

#include "jre/vendor_version.h"

#include <string>

namespace jre {

namespace {

constexpr std::string_view kVersionKey = "JAVA_VERSION";
constexpr std::string_view kVariantKey = "JVM_VARIANT";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

size_t numberCount(std::wstring_view text) noexcept {
    size_t count = 0;
    bool inNumber = false;
    for (const wchar_t c : text) {
        if (isDigit(c) && !inNumber) ++count;
        inNumber = isDigit(c);
    }
    return count;
}

std::string_view trimmedBlanks(std::string_view text) noexcept {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The value of a line "KEY = value"; nullopt for any other line.
std::optional<std::string_view> releaseValue(std::string_view line, std::string_view key) {
    line = trimmedBlanks(line);
    if (!line.starts_with(key)) return std::nullopt;
    line = trimmedBlanks(line.substr(key.size()));
    if (!line.starts_with('=')) return std::nullopt;  // JAVA_VERSION_DATE and the like
    std::string_view value = trimmedBlanks(line.substr(1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<JavaVersion> parsedVendorVersion(std::wstring_view text) {
    JavaVersion version;
    if (!parseVersion(text, 0, version)) return std::nullopt;
    return inJavaVersionScheme(version);
}

bool equalsAsciiIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

JavaVersion inJavaVersionScheme(const JavaVersion& vendorVersion) {
    const auto& parts = vendorVersion.parts;
    if (parts[0] < 2 || parts[0] > 8) return vendorVersion;
    return JavaVersion{{1, parts[0], parts[1], parts[2]}};
}

std::optional<JavaVersion> versionFromKeyName(std::wstring_view keyName) {
    if (numberCount(keyName) < 3) return std::nullopt;
    return parsedVendorVersion(keyName);
}

std::optional<JavaVersion> versionFromReleaseText(std::string_view text) {
    const bool mayBeCut = text.size() >= kReleaseFileLimit;
    if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
    if (mayBeCut) {
        const auto lastLineEnd = text.rfind('\n');
        text = lastLineEnd == std::string_view::npos ? std::string_view{}
                                                     : text.substr(0, lastLineEnd);
    }
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (const auto value = releaseValue(line, kVersionKey)) {
            // Only digits matter to the version, so the bytes are taken one for one.
            const std::wstring wide(value->begin(), value->end());
            return parsedVendorVersion(wide);
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return std::nullopt;
}

bool isOpenJ9ReleaseText(std::string_view text) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (const auto value = releaseValue(text.substr(0, end), kVariantKey)) {
            return equalsAsciiIgnoringCase(*value, "openj9");
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return false;
}

}  // namespace jre

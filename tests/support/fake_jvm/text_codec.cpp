#include "tests/support/fake_jvm/text_codec.h"

#include <cstdint>

namespace fakejvm {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) { return (c & 0xC0U) == 0x80U; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0U | (c >> 6));
        out += static_cast<char>(0x80U | (c & 0x3FU));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0U | (c >> 12));
        out += static_cast<char>(0x80U | ((c >> 6) & 0x3FU));
        out += static_cast<char>(0x80U | (c & 0x3FU));
    } else {
        out += static_cast<char>(0xF0U | (c >> 18));
        out += static_cast<char>(0x80U | ((c >> 12) & 0x3FU));
        out += static_cast<char>(0x80U | ((c >> 6) & 0x3FU));
        out += static_cast<char>(0x80U | (c & 0x3FU));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        const char32_t v = c - 0x10000;
        out += static_cast<char16_t>(0xD800U + (v >> 10));
        out += static_cast<char16_t>(0xDC00U + (v & 0x3FFU));
    }
}

// Decodes one sequence of up to `maxLength` bytes at text[i]; advances i. Returns
// kReplacement for malformed input (consuming one byte).
char32_t decodeOne(std::string_view text, std::size_t& i, std::size_t maxLength) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    char32_t value = lead;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return value;
    }
    if ((lead & 0xE0U) == 0xC0U) {
        length = 2, value = lead & 0x1FU, minimum = 0x80;
    } else if ((lead & 0xF0U) == 0xE0U) {
        length = 3, value = lead & 0x0FU, minimum = 0x800;
    } else if ((lead & 0xF8U) == 0xF0U) {
        length = 4, value = lead & 0x07U, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (length > maxLength || i + length > text.size()) {
        ++i;
        return kReplacement;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (!isContinuation(c)) {
            ++i;
            return kReplacement;
        }
        value = (value << 6) | (c & 0x3FU);
    }
    // Modified UTF-8 writes U+0000 as the overlong C0 80.
    const bool modifiedNul = maxLength == 3 && length == 2 && value == 0;
    if (value < minimum && !modifiedNul) {
        ++i;
        return kReplacement;
    }
    i += length;
    return value;
}

}  // namespace

std::u16string utf16FromUtf8(std::string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = decodeOne(text, i, 4);
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
        appendUtf16(out, c);
    }
    return out;
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00U);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string modifiedUtf8FromUtf16(std::u16string_view text) {
    std::string out;
    for (const char16_t unit : text) {
        if (unit == 0) {
            out += "\xC0\x80";
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string utf16FromModifiedUtf8(std::string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        // Modified UTF-8 never holds four-byte forms; surrogates come as two three-byte units.
        appendUtf16(out, decodeOne(text, i, 3));
    }
    return out;
}

std::string hexUnits(std::u16string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() * 4);
    for (const char16_t unit : text) {
        for (int shift = 12; shift >= 0; shift -= 4) {
            out += kDigits[(static_cast<unsigned>(unit) >> shift) & 0xFU];
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            const char replacement = next == 'n'    ? '\n'
                                     : next == 'r'  ? '\r'
                                     : next == 't'  ? '\t'
                                     : next == '\\' ? '\\'
                                                    : '\0';
            if (replacement != '\0') {
                out += replacement;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace fakejvm

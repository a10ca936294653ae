#include "jvm/modified_utf8.h"

#include <cstddef>
#include <cstdint>

namespace jvm {

namespace {

constexpr wchar_t replacementCharacter = 0xFFFD;

bool isContinuation(unsigned char byte) noexcept { return (byte & 0xC0U) == 0x80U; }

// The number of bytes a sequence starting with lead takes, or 0 for a byte that cannot start one.
std::size_t sequenceLength(unsigned char lead) noexcept {
    if (lead < 0x80U) return 1;
    if ((lead & 0xE0U) == 0xC0U) return 2;
    if ((lead & 0xF0U) == 0xE0U) return 3;
    if ((lead & 0xF8U) == 0xF0U) return 4;
    return 0;
}

void appendCodePoint(std::wstring& out, std::uint32_t codePoint) {
    if (codePoint < 0x10000U) {
        out.push_back(static_cast<wchar_t>(codePoint));
        return;
    }
    const std::uint32_t offset = codePoint - 0x10000U;
    out.push_back(static_cast<wchar_t>(0xD800U + (offset >> 10U)));
    out.push_back(static_cast<wchar_t>(0xDC00U + (offset & 0x3FFU)));
}

}  // namespace

std::wstring decodeModifiedUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = sequenceLength(lead);
        if (length == 1) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        std::size_t available = 1;
        while (available < length && i + available < bytes.size() &&
               isContinuation(static_cast<unsigned char>(bytes[i + available]))) {
            ++available;
        }
        if (length == 0 || available < length) {
            // Skip the lead byte and the continuation bytes that belonged to it.
            out.push_back(replacementCharacter);
            i += available;
            continue;
        }
        std::uint32_t codePoint = lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length; ++k) {
            codePoint = (codePoint << 6U) | (static_cast<unsigned char>(bytes[i + k]) & 0x3FU);
        }
        // Overlong forms are rejected except C0 80, the modified encoding of NUL.
        const bool overlong = (length == 2 && codePoint < 0x80U && codePoint != 0) ||
                              (length == 3 && codePoint < 0x800U) ||
                              (length == 4 && codePoint < 0x10000U);
        if (overlong || codePoint > 0x10FFFFU) {
            out.push_back(replacementCharacter);
        } else {
            appendCodePoint(out, codePoint);
        }
        i += length;
    }
    return out;
}

}  // namespace jvm

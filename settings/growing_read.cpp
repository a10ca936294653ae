#include "settings/growing_read.h"

#include <algorithm>
#include <string_view>

namespace settings {

std::wstring readWithGrowingBuffer(const ProfileRead& read, uint32_t cutMargin) {
    std::vector<wchar_t> buffer;
    uint32_t size = kFirstProfileReadChars;
    for (;;) {
        buffer.assign(size, L'\0');
        const uint32_t length = std::min(read(buffer.data(), size), size);
        const bool cut = size > cutMargin && length == size - cutMargin;
        if (!cut || size >= kMaxProfileReadChars) {
            return std::wstring(buffer.data(), length);
        }
        size *= 2;
    }
}

std::wstring readProfileValue(const ProfileRead& read) {
    std::wstring value = readWithGrowingBuffer(read, 1);
    const size_t terminator = value.find(L'\0');
    if (terminator != std::wstring::npos) value.resize(terminator);
    return value;
}

void readProfileSectionNames(const ProfileRead& read, std::vector<std::wstring>& out) {
    out.clear();
    appendNulSeparatedNames(readWithGrowingBuffer(read, 2), out);
}

void appendNulSeparatedNames(std::wstring_view block, std::vector<std::wstring>& out) {
    size_t position = 0;
    while (position < block.size()) {
        size_t end = block.find(L'\0', position);
        if (end == std::wstring_view::npos) end = block.size();
        if (end > position) out.emplace_back(block.substr(position, end - position));
        position = end + 1;
    }
}

}  // namespace settings

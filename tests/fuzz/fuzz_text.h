#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Fuzzer bytes as UTF-16LE code units, the form the launcher's texts take on Windows.
inline std::wstring wideFromBytes(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    return text;
}

}  // namespace fuzz

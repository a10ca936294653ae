#pragma once

#include <string>
#include <string_view>

namespace jvm {

// Decodes the modified UTF-8 that JNI's GetStringUTFChars produces (NUL as C0 80, characters
// outside the BMP as two encoded surrogates) into UTF-16 code units, one unit per wchar_t.
// Standard four-byte sequences are accepted too and become a surrogate pair. Malformed or
// truncated sequences become U+FFFD each, so broken input never stops the decoding.
[[nodiscard]] std::wstring decodeModifiedUtf8(std::string_view bytes);

}  // namespace jvm

// Feeds arbitrary UTF-16 text to the command-line splitter and the separator splitter.
#include <cstdlib>
#include <string>
#include <vector>

#include "base/split.h"
#include "tests/fuzz/fuzz_text.h"

namespace {

std::wstring joined(const std::vector<std::wstring>& pieces, std::wstring_view separator) {
    std::wstring text;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) text += separator;
        text += pieces[i];
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = fuzz::wideFromBytes(data, size);

    std::vector<std::wstring> tokens;
    base::splitCommandLine(text, tokens);
    size_t characters = 0;
    for (const auto& token : tokens) characters += token.size();
    // Splitting only drops spaces and quotes; it never invents text.
    if (characters > text.size() || tokens.size() > text.size()) std::abort();
    if (text.empty() != tokens.empty()) std::abort();

    // The first unit (or two) is the separator; the pieces rebuild the rest.
    const size_t separatorLength = text.empty() ? 0 : 1 + (text[0] & 1);
    const std::wstring separator = text.substr(0, separatorLength);
    const std::wstring rest = text.substr(separator.size());
    std::vector<std::wstring> pieces{L"stale"};
    base::splitText(rest, separator, pieces);
    const std::wstring rebuilt = joined(pieces, separator);
    if (rebuilt != rest && rebuilt + separator != rest) std::abort();
    if (rest.empty() != pieces.empty()) std::abort();
    return 0;
}

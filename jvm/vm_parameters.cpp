#include "jvm/vm_parameters.h"

#include <algorithm>

namespace jvm {

namespace {
constexpr auto npos = std::wstring_view::npos;
constexpr wchar_t kQuote = L'"';
constexpr wchar_t kSpace = L' ';

// The first `c` at or after `from` and before `limit` (npos: the end of the text).
size_t findBefore(std::wstring_view text, wchar_t c, size_t from, size_t limit) {
    const size_t end = std::min(limit, text.size());
    if (from >= end) return npos;
    const size_t found = text.substr(from, end - from).find(c);
    return found == npos ? npos : from + found;
}
}  // namespace

size_t nextParameterEnd(std::wstring_view text, size_t start) {
    // A quote after the next space cannot extend the token, so quotes are only looked for
    // before it; with the space found once per quoted stretch the scan stays linear.
    size_t space = text.find(kSpace, start);
    size_t quote = findBefore(text, kQuote, start, space);
    while (quote != npos) {
        if (space == npos) return text.size();
        size_t closing = text.find(kQuote, quote + 1);
        // An unterminated quote ends at the next space like any other character would.
        if (closing == npos) return space;
        if (closing + 1 < text.size() && text[closing + 1] == kQuote) ++closing;
        if (space < closing) space = text.find(kSpace, closing + 1);
        quote = findBefore(text, kQuote, closing + 1, space);
    }
    return space == npos ? text.size() : space;
}

void removeQuotes(std::wstring& token) {
    // Built anew rather than erased in place, so a token full of quotes takes linear time.
    std::wstring result;
    size_t position = 0;
    while (position < token.size()) {
        const size_t opening = token.find(kQuote, position);
        if (opening == npos || opening + 1 == token.size()) break;
        size_t closing = token.find(kQuote, opening + 1);
        if (closing == npos) break;
        if (closing + 1 < token.size() && token[closing + 1] == kQuote) ++closing;
        result.append(token, position, opening - position);
        result.append(token, opening + 1, closing - opening - 1);
        position = closing + 1;
    }
    if (position == 0) return;
    result.append(token, position);
    token = std::move(result);
}

std::vector<std::wstring> splitVmParameters(std::wstring_view value) {
    std::vector<std::wstring> tokens;
    size_t position = value.find_first_not_of(kSpace);
    while (position != npos) {
        const size_t end = nextParameterEnd(value, position);
        tokens.emplace_back(value.substr(position, end - position));
        position = value.find_first_not_of(kSpace, end);
    }
    return tokens;
}

void addVmParameter(std::wstring token, const MemoryFiguresSource& memory,
                    std::vector<std::wstring>& options, uint32_t& javaThreadStackSize) {
    removeQuotes(token);
    if (isPercentMemoryOption(token)) rewritePercentMemoryOption(token, memory());
    if (token.starts_with(L"-Xss")) javaThreadStackSize = stackSizeFromOption(token);
    options.push_back(std::move(token));
}

}  // namespace jvm

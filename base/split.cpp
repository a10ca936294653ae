#include "base/split.h"

namespace base {

namespace {

size_t skipSpaces(std::wstring_view text, size_t position) {
    while (position < text.size() && text[position] == L' ') ++position;
    return position;
}

}  // namespace

void splitCommandLine(std::wstring_view text, std::vector<std::wstring>& out) {
    constexpr auto npos = std::wstring_view::npos;
    size_t position = 0;
    while (position < text.size()) {
        if (text[position] == L'"') {
            const size_t opening = position;
            if (opening + 1 == text.size()) {
                out.emplace_back();
                return;
            }
            const size_t closing = text.find(L'"', opening + 1);
            if (closing == npos) {
                out.emplace_back(text.substr(opening + 1));
                return;
            }
            out.emplace_back(text.substr(opening + 1, closing - opening - 1));
            position = skipSpaces(text, closing + 1);
        } else {
            const size_t space = text.find(L' ', position);
            if (space == npos) {
                out.emplace_back(text.substr(position));
                return;
            }
            out.emplace_back(text.substr(position, space - position));
            position = skipSpaces(text, space);
        }
    }
}

void splitText(std::wstring_view text, std::wstring_view separator,
               std::vector<std::wstring>& out) {
    out.clear();
    if (text.empty()) return;
    // An empty separator would match at every position without ever moving on.
    if (separator.empty()) {
        out.emplace_back(text);
        return;
    }
    size_t position = 0;
    for (;;) {
        const size_t next = text.find(separator, position);
        if (next == std::wstring_view::npos) break;
        out.emplace_back(text.substr(position, next - position));
        position = next + separator.size();
        if (position >= text.size()) return;
    }
    out.emplace_back(text.substr(position));
}

}  // namespace base

#include "base/text.h"

#include <cwctype>

namespace base {

bool isWideSpace(wchar_t c) noexcept { return std::iswspace(static_cast<wint_t>(c)) != 0; }

std::wstring trimmed(std::wstring_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isWideSpace(text[begin])) ++begin;
    while (end > begin && isWideSpace(text[end - 1])) --end;
    return std::wstring(text.substr(begin, end - begin));
}

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    }
    return true;
}

std::wstring replacedAll(std::wstring text, wchar_t from, wchar_t to) {
    for (auto& c : text) {
        if (c == from) c = to;
    }
    return text;
}

}  // namespace base

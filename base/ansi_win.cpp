#include <windows.h>

#include "base/ansi_win.h"

#include <climits>
#include <stdexcept>

namespace base {

namespace {
int checkedLength(size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long");
    return static_cast<int>(size);
}
}  // namespace

std::string toThreadAnsi(std::wstring_view text) { return toCodePage(text, CP_THREAD_ACP); }

std::string toCodePage(std::wstring_view text, unsigned codePage) {
    if (text.empty()) return {};
    const int length = checkedLength(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::wstring fromThreadAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int length = checkedLength(text.size());
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring result(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, result.data(), needed);
    return result;
}

}  // namespace base

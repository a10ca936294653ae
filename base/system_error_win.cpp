#include <windows.h>

#include "base/system_error_win.h"

#include <iterator>
#include <string_view>

#include "base/text.h"

namespace base {

std::wstring systemErrorText(DWORD error) {
    // System messages are short; a fixed buffer spares the LocalFree of an allocated one.
    wchar_t buffer[512];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text = trimmed(std::wstring_view(buffer, length));
    if (text.empty()) text = L"error " + std::to_wstring(error);
    return text;
}

}  // namespace base

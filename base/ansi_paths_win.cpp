#include <windows.h>

#include "base/ansi_paths_win.h"

#include <climits>

#include "base/ansi_paths.h"
#include "base/ansi_win.h"
#include "base/files_win.h"
#include "base/path.h"

namespace base {

namespace {

bool representableInThreadAnsi(std::wstring_view text) {
    if (text.empty()) return true;
    if (text.size() > static_cast<size_t>(INT_MAX)) return false;
    // No best-fit mapping: a path whose "ő" became "o" would name another file.
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
    // UTF-8 as the ANSI code page refuses these flags and the default-character question; it
    // represents everything.
    if (length == 0) {
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_FLAGS || error == ERROR_INVALID_PARAMETER) return true;
    }
    return length > 0 && !usedDefault;
}

std::wstring shortFormOf(const std::wstring& path) {
    const std::wstring asked = withLongPathPrefixIfLong(path);
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetShortPathNameW(asked.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(length);  // the size asked for includes the terminator
    }
    // The prefix added for the call is no part of the path the JVM is given.
    if (!hasLongPathPrefix(path) && hasLongPathPrefix(buffer)) {
        constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";
        if (std::wstring_view(buffer).starts_with(kUncPrefix)) {
            buffer.replace(0, kUncPrefix.size(), L"\\\\");
        } else {
            buffer.erase(0, kLongPathPrefix.size());
        }
    }
    return buffer;
}

}  // namespace

AnsiOption toThreadAnsiOption(std::wstring_view option) {
    const AnsiPathServices services{representableInThreadAnsi, shortFormOf,
                                    [](const std::wstring& path) { return pathExists(path); }};
    PathFallback fallback = withRepresentablePaths(option, services);
    return {toThreadAnsi(fallback.option), std::move(fallback.unrepresentedPath)};
}

}  // namespace base

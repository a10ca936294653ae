#include <windows.h>

#include "settings/settings_file_win.h"

#include <climits>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "base/handles_win.h"

namespace settings {

namespace {

// Far beyond any settings file; a larger one is not read into memory at all.
constexpr LONGLONG kMaxSettingsFileBytes = LONGLONG{256} << 20;

std::wstring decodeMultiByte(UINT codePage, std::span<const std::byte> bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, data, size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, data, size, text.data(), length);
    return text;
}

}  // namespace

std::wstring decodeSettingsText(std::span<const std::byte> bytes) {
    const DetectedEncoding detected = detectTextEncoding(bytes);
    const auto text = bytes.subspan(detected.markerBytes);
    switch (detected.encoding) {
        case TextEncoding::Utf8:
            return decodeMultiByte(CP_UTF8, text);
        case TextEncoding::Utf16LittleEndian:
            return decodeUtf16(text, false);
        case TextEncoding::Utf16BigEndian:
            return decodeUtf16(text, true);
        case TextEncoding::Ansi:
            break;
    }
    return decodeMultiByte(CP_ACP, text);
}

IniSnapshot readSettingsFile(std::wstring_view path) {
    const std::wstring name(path);
    // The profile API shares the file in every way, so a file another program holds open for
    // writing is read all the same.
    base::UniqueFileHandle file(CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > kMaxSettingsFileBytes) {
        return {};
    }
    std::vector<std::byte> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return {};
    }
    bytes.resize(read);
    return IniSnapshot::parse(decodeSettingsText(bytes));
}

}  // namespace settings

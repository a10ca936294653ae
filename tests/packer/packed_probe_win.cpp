#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

// packed_probe: prints what Windows itself reads from a packed executable, the way Explorer
// does: the version resource through GetFileVersionInfoW and the icons through ExtractIconExW
// and the icon group's images. The end-to-end test compares this with what it packed.
namespace {

void printUtf8(const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    std::fputs(out.c_str(), stdout);
    std::fputs("\n", stdout);
}

std::wstring fourPart(DWORD high, DWORD low) {
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

bool printVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    printUtf8(L"fixed file " + fourPart(fixed->dwFileVersionMS, fixed->dwFileVersionLS) +
              L" product " + fourPart(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                               L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                           &length)) {
            printUtf8(std::wstring(L"string ") + key + L"=" + value);
        }
    }
    return true;
}

SIZE iconSize(HICON icon) {
    ICONINFO info{};
    SIZE size{0, 0};
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bitmap{};
    if (info.hbmColor != nullptr && GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap)) {
        size = {bitmap.bmWidth, bitmap.bmHeight};
    } else if (info.hbmMask != nullptr && GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap)) {
        size = {bitmap.bmWidth, bitmap.bmHeight / 2};
    }
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return size;
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK takeFirstGroup(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<HRSRC*>(found) = FindResourceW(module, name, MAKEINTRESOURCEW(14));
    return FALSE;
}

// Every image of the first icon group, made into an icon by the system: each must load.
void printGroupImages(const std::wstring& path) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return;
    HRSRC group = nullptr;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14), &takeFirstGroup,
                       reinterpret_cast<LONG_PTR>(&group));
    const auto* header =
        group ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
    if (header != nullptr) {
        const WORD count = *reinterpret_cast<const WORD*>(header + 4);
        const auto* entries = reinterpret_cast<const GroupEntry*>(header + 6);
        for (WORD i = 0; i < count; ++i) {
            HRSRC image =
                FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), MAKEINTRESOURCEW(3));
            auto* bits =
                image ? static_cast<BYTE*>(LockResource(LoadResource(module, image))) : nullptr;
            HICON icon = bits ? CreateIconFromResourceEx(bits, SizeofResource(module, image), TRUE,
                                                         0x00030000, 0, 0, LR_DEFAULTCOLOR)
                              : nullptr;
            const SIZE size = icon ? iconSize(icon) : SIZE{0, 0};
            printUtf8(L"image " + std::to_wstring(size.cx) + L"x" + std::to_wstring(size.cy));
            if (icon) DestroyIcon(icon);
        }
    }
    FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: packed_probe EXECUTABLE\n", stderr);
        return 2;
    }
    const std::wstring path = argv[1];
    if (!printVersion(path)) printUtf8(L"no version information");
    const UINT groups = ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0);
    printUtf8(L"icon groups " + std::to_wstring(groups));
    HICON large = nullptr;
    HICON smallIcon = nullptr;
    if (ExtractIconExW(path.c_str(), 0, &large, &smallIcon, 1) > 0) {
        const SIZE largeSize = large ? iconSize(large) : SIZE{0, 0};
        const SIZE smallSize = smallIcon ? iconSize(smallIcon) : SIZE{0, 0};
        printUtf8(L"extracted large " + std::to_wstring(largeSize.cx) + L"x" +
                  std::to_wstring(largeSize.cy) + L" small " + std::to_wstring(smallSize.cx) +
                  L"x" + std::to_wstring(smallSize.cy));
        if (large) DestroyIcon(large);
        if (smallIcon) DestroyIcon(smallIcon);
    }
    printGroupImages(path);
    return 0;
}

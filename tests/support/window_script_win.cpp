#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "tests/support/window_script_win.h"

#include <gdiplus.h>

#include <cstring>
#include <vector>

#include "base/handles_win.h"

namespace support {
namespace {

constexpr UINT kMessageTimeoutMs = 2000;

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectProcessWindow(HWND window, LPARAM context) noexcept {
    auto& search = *reinterpret_cast<ProcessWindows*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search.processId && IsWindowVisible(window)) {
        search.found.push_back(window);
    }
    return TRUE;
}

void sendMouse(POINT screen, DWORD flags) {
    // Absolute coordinates span 0..65535 over the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, width) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, height) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

// The GDI+ encoder for PNG files.
constexpr CLSID kPngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// What the screen shows of a window, as a 32-bit top-down bitmap.
struct Capture {
    base::UniqueGdiObject bitmap;
    int width = 0;
    int height = 0;
};

Capture captureWindow(HWND window) {
    Capture capture;
    RECT area{};
    if (!GetWindowRect(window, &area)) return capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return capture;
    HDC memory = CreateCompatibleDC(screen);
    capture.bitmap.reset(CreateCompatibleBitmap(screen, capture.width, capture.height));
    bool copied = false;
    if (memory != nullptr && capture.bitmap) {
        const HGDIOBJ previous = SelectObject(memory, capture.bitmap.get());
        copied = BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top,
                        SRCCOPY) != 0;
        SelectObject(memory, previous);
    }
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) capture.bitmap.reset();
    return capture;
}

}  // namespace

bool windowShowsColor(HWND window, COLORREF color) {
    const Capture capture = captureWindow(window);
    if (!capture.bitmap) return false;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = capture.width;
    format.bmiHeader.biHeight = -capture.height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(capture.width) *
                                static_cast<std::size_t>(capture.height));
    HDC screen = GetDC(nullptr);
    const int lines =
        GetDIBits(screen, static_cast<HBITMAP>(capture.bitmap.get()), 0,
                  static_cast<UINT>(capture.height), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != capture.height) return false;
    for (const RGBQUAD& pixel : pixels) {
        if (RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue) == color) return true;
    }
    return false;
}

HWND waitForProcessWindow(DWORD processId, const std::function<bool(const WindowInfo&)>& matches,
                          DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        ProcessWindows search{processId, {}};
        EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.found) {
            if (matches(readWindow(window, processId))) return window;
        }
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

bool waitUntilClosed(HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
    return true;
}

std::wstring textOf(HWND window) { return readWindow(window, 0).title; }

bool selectFolderInBrowser(HWND browser, DWORD processId, const std::wstring& folder) {
    HWND tree = nullptr;
    for (const auto& control : readWindow(browser, processId).controls) {
        if (control.className == L"SysTreeView32") tree = control.handle;
    }
    if (tree == nullptr) return false;
    const auto selectedItem = [tree] {
        DWORD_PTR item = 0;
        SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG,
                            kMessageTimeoutMs, &item);
        return item;
    };
    // The browser fills its tree and selects the root only after it shows (slowly in a fresh
    // prefix); a folder selected before that would be replaced by the root.
    DWORD_PTR root = 0;
    for (int i = 0; i < 200 && root == 0; ++i, Sleep(50)) root = selectedItem();
    if (root == 0) return false;

    base::UniqueKernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) return false;
    const SIZE_T bytes = (folder.size() + 1) * sizeof(wchar_t);
    void* remote =
        VirtualAllocEx(process.get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) return false;
    bool selected = false;
    if (WriteProcessMemory(process.get(), remote, folder.c_str(), bytes, nullptr)) {
        // Until the selection has moved away from the root.
        for (int attempt = 0; attempt < 40 && !selected; ++attempt) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, 10000, &answer);
            Sleep(250);
            const DWORD_PTR item = selectedItem();
            selected = item != 0 && item != root;
        }
    }
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return selected;
}

bool processMemoryIsReachable() {
#ifdef _WIN64
    return true;
#else
    // Asking the server to read this process's memory is itself what disturbs the emulation, so
    // the machine's registration of qemu-user for 32-bit programs is read instead (Wine shows
    // the Linux root as drive Z:).
    base::UniqueFileHandle entry(CreateFileW(L"Z:\\proc\\sys\\fs\\binfmt_misc\\qemu-i386",
                                             GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    if (!entry) return true;
    char state[8] = {};
    DWORD read = 0;
    if (!ReadFile(entry.get(), state, sizeof state - 1, &read, nullptr)) return true;
    return std::strncmp(state, "enabled", 7) != 0;
#endif
}

void moveMouseTo(POINT screen) { sendMouse(screen, 0); }

void pressMouseAt(POINT screen) {
    sendMouse(screen, 0);
    Sleep(100);
    sendMouse(screen, MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
}

void releaseMouseAt(POINT screen) {
    sendMouse(screen, 0);
    Sleep(100);
    sendMouse(screen, MOUSEEVENTF_LEFTUP);
    Sleep(50);
}

void clickAt(POINT screen) {
    pressMouseAt(screen);
    releaseMouseAt(screen);
}

void pressKey(WORD virtualKey) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

POINT screenPointOf(HWND control, POINT offset) {
    ClientToScreen(control, &offset);
    return offset;
}

bool saveWindowPicture(HWND window, const std::wstring& pngPath) {
    const Capture capture = captureWindow(window);
    if (!capture.bitmap) return false;

    Gdiplus::GdiplusStartupInput startup;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &startup, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        Gdiplus::Bitmap picture(static_cast<HBITMAP>(capture.bitmap.get()), nullptr);
        saved = picture.Save(pngPath.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

}  // namespace support

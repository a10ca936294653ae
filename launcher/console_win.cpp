#include <windows.h>

#include "launcher/console_win.h"

#include <string>

#include "base/ansi_win.h"

namespace launcher {

namespace {

bool isHandle(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// Opens the attached console for a standard handle the process lacks. The handle belongs to the
// process from then on, as the handles it was started with do, so it is never closed.
void openConsoleFor(DWORD which, const wchar_t* device) {
    if (isHandle(GetStdHandle(which))) return;
    base::UniqueFileHandle handle(CreateFileW(device, GENERIC_READ | GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    if (handle && SetStdHandle(which, handle.get())) static_cast<void>(handle.release());
}

base::UniqueKernelHandle inheritableCopy(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (!isHandle(handle) || !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(),
                                              &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        return {};
    }
    return base::UniqueKernelHandle(copy);
}

}  // namespace

void writeStandardError(std::wstring_view text) {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (!isHandle(handle) || text.empty()) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0) codePage = GetACP();
    const std::string bytes = base::toCodePage(text, codePage);
    if (bytes.empty()) return;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool attachParentConsole() {
    // Access denied means a console is attached already (Wine attaches GUI programs started
    // from a console program to its console); its handles are just as good.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) {
        return false;
    }
    openConsoleFor(STD_INPUT_HANDLE, L"CONIN$");
    openConsoleFor(STD_OUTPUT_HANDLE, L"CONOUT$");
    openConsoleFor(STD_ERROR_HANDLE, L"CONOUT$");
    return true;
}

StandardHandleCopies inheritableStandardHandles() {
    return {inheritableCopy(STD_INPUT_HANDLE), inheritableCopy(STD_OUTPUT_HANDLE),
            inheritableCopy(STD_ERROR_HANDLE)};
}

}  // namespace launcher

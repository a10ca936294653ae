#include <windows.h>

#include <string>

#include "base/handles_win.h"

// A console program that starts a program the way a terminal starts a GUI program: on a console
// of its own, and without standard handles (what a GUI process gets from cmd or PowerShell).
// When the program has ended, the text on the console's screen goes to standard output, and the
// program's exit code is this one's.
//   console_parent EXE [ARGS...]
namespace {

std::wstring screenText() {
    base::UniqueFileHandle screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!screen || !GetConsoleScreenBufferInfo(screen.get(), &info)) return L"(no console)\n";
    std::wstring text;
    std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen.get(), row.data(), static_cast<DWORD>(row.size()),
                                    COORD{0, y}, &read);
        std::wstring line = row.substr(0, read);
        line.erase(line.find_last_not_of(L' ') + 1);
        text += line + L"\n";
    }
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 100;
    // Standard output is the shell's; the console is only for the child.
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    FreeConsole();
    if (!AllocConsole()) return 101;
    // Each argument quoted: the tests pass no quotes of their own.
    std::wstring childLine;
    for (int i = 1; i < argc; ++i) childLine += L"\"" + std::wstring(argv[i]) + L"\" ";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;  // all three null
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], childLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 102;
    }
    base::UniqueKernelHandle child(process.hProcess);
    base::UniqueKernelHandle thread(process.hThread);
    WaitForSingleObject(child.get(), 120000);
    DWORD code = 103;
    GetExitCodeProcess(child.get(), &code);
    const std::wstring text = screenText();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return static_cast<int>(code);
}

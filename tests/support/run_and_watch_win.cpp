#include <windows.h>

#include <tlhelp32.h>

#include "tests/support/run_and_watch_win.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/handles_win.h"

namespace support {
namespace {

using base::UniqueKernelHandle;

// Cross-process reads go through SendMessageTimeout so a hung target cannot hang the driver.
constexpr UINT kMessageTimeoutMs = 2000;

std::wstring windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &length)) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
        return {};
    }
    text.resize(std::min<std::size_t>(copied, text.size() - 1));
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

BOOL CALLBACK collectChild(HWND child, LPARAM context) noexcept {
    try {
        auto& controls = *reinterpret_cast<std::vector<ControlInfo>*>(context);
        ControlInfo info;
        info.handle = child;
        info.id = GetDlgCtrlID(child);
        info.className = className(child);
        info.text = windowText(child);
        info.visible = IsWindowVisible(child) != FALSE;
        controls.push_back(std::move(info));
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

struct TopLevelSearch {
    const std::set<DWORD>* processes;
    std::vector<std::pair<HWND, DWORD>> found;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM context) noexcept {
    try {
        auto& search = *reinterpret_cast<TopLevelSearch*>(context);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (search.processes->count(processId) != 0 && IsWindowVisible(window)) {
            search.found.emplace_back(window, processId);
        }
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

// The process and everything it started (that is still running).
std::set<DWORD> processTree(DWORD root) {
    std::set<DWORD> tree{root};
    UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) {
        (void)snapshot.release();
        return tree;
    }
    std::vector<std::pair<DWORD, DWORD>> links;  // (child, parent)
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        links.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [child, parent] : links) {
            if (tree.count(parent) != 0 && tree.insert(child).second) grew = true;
        }
    }
    return tree;
}

void terminateTree(DWORD root, HANDLE process) {
    for (const DWORD id : processTree(root)) {
        if (id == root) continue;
        UniqueKernelHandle other(OpenProcess(PROCESS_TERMINATE, FALSE, id));
        if (other) TerminateProcess(other.get(), 0xDEAD);
    }
    TerminateProcess(process, 0xDEAD);
}

void drainPipe(HANDLE pipe, std::string& into) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) {
            return;
        }
        std::string chunk(std::min<DWORD>(available, 65536), '\0');
        DWORD got = 0;
        if (!ReadFile(pipe, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) ||
            got == 0) {
            return;
        }
        into.append(chunk.data(), got);
    }
}

// This process's environment with the given entries added or replaced.
std::vector<wchar_t> environmentBlock(const std::vector<std::wstring>& additions) {
    std::map<std::wstring, std::wstring> entries;  // upper-case name -> entry
    auto nameOf = [](const std::wstring& entry) {
        // Entries like "=C:=C:\x" start with '=': the name runs to the second '='.
        const auto equals = entry.find(L'=', 1);
        std::wstring name = entry.substr(0, equals);
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
        return name;
    };
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p != L'\0'; p += wcslen(p) + 1) {
            entries[nameOf(p)] = p;
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& entry : additions) entries[nameOf(entry)] = entry;
    std::vector<wchar_t> result;
    for (const auto& [name, entry] : entries) {
        result.insert(result.end(), entry.begin(), entry.end());
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

void perform(const WindowInfo& window, const WindowAction& action) {
    if (action.kind == WindowAction::Kind::Leave) return;
    if (action.delayMs > 0) Sleep(action.delayMs);
    const ControlInfo* button = window.control(action.buttonId);
    switch (action.kind) {
        case WindowAction::Kind::Press:
            PostMessageW(window.handle, WM_COMMAND, MAKEWPARAM(action.buttonId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button == nullptr ? nullptr : button->handle));
            break;
        case WindowAction::Kind::Click:
            if (button != nullptr) PostMessageW(button->handle, BM_CLICK, 0, 0);
            break;
        case WindowAction::Kind::Close:
            PostMessageW(window.handle, WM_CLOSE, 0, 0);
            break;
        case WindowAction::Kind::Leave:
            break;
    }
}

}  // namespace

const ControlInfo* WindowInfo::control(int id) const {
    for (const auto& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

std::wstring WindowInfo::messageText() const {
    const ControlInfo* text = control(kMessageBoxTextId);
    return text == nullptr ? std::wstring() : text->text;
}

bool WindowInfo::hasButton(int id) const {
    const ControlInfo* c = control(id);
    return c != nullptr &&
           CompareStringOrdinal(c->className.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL;
}

WindowInfo readWindow(HWND window, DWORD processId) {
    WindowInfo info;
    info.handle = window;
    info.processId = processId;
    info.className = className(window);
    info.title = windowText(window);
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&info.controls));
    return info;
}

std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

RunResult runAndWatch(const std::wstring& commandLine, const std::wstring& workingDir,
                      const WindowHandler& handler, DWORD timeoutMs) {
    RunOptions options;
    options.timeoutMs = timeoutMs;
    return runAndWatch(commandLine, workingDir, handler, options);
}

RunResult runAndWatch(const std::wstring& commandLine, const std::wstring& workingDir,
                      const WindowHandler& handler, const RunOptions& options) {
    RunResult result;

    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inheritable, 0) ||
        !CreatePipe(errRead.put(), errWrite.put(), &inheritable, 0)) {
        result.startError = GetLastError();
        return result;
    }
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    std::vector<wchar_t> environment;
    if (!options.environment.empty()) environment = environmentBlock(options.environment);
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(),
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
        result.startError = GetLastError();
        return result;
    }
    result.started = true;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    // Only the child keeps the write ends, so the pipes report its output alone.
    outWrite.reset();
    errWrite.reset();

    std::set<HWND> handled;
    std::set<HWND> sightedOnce;
    const ULONGLONG deadline = GetTickCount64() + options.timeoutMs;
    for (;;) {
        const bool ended = WaitForSingleObject(process.get(), options.pollMs) == WAIT_OBJECT_0;
        drainPipe(outRead.get(), result.standardOutput);
        drainPipe(errRead.get(), result.standardError);
        if (ended) break;
        if (GetTickCount64() >= deadline) {
            result.timedOut = true;
            terminateTree(info.dwProcessId, process.get());
            WaitForSingleObject(process.get(), 5000);
            break;
        }
        const std::set<DWORD> processes = processTree(info.dwProcessId);
        TopLevelSearch search{&processes, {}};
        EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
        for (const auto& [window, processId] : search.found) {
            if (handled.count(window) != 0) continue;
            // A window is read on its second sighting, one poll after it became visible, so
            // that its controls have their texts.
            if (sightedOnce.insert(window).second) continue;
            handled.insert(window);
            WindowInfo windowInfo = readWindow(window, processId);
            if (options.onWindow) options.onWindow(windowInfo);
            const WindowAction action = handler ? handler(windowInfo) : WindowAction::leave();
            result.windows.push_back(windowInfo);
            perform(windowInfo, action);
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    result.exitCode = code;
    return result;
}

}  // namespace support

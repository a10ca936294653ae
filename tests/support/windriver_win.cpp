#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/support/run_and_watch_win.h"

// windriver: runs a program under the watch of runAndWatch and prints what appears, for shell
// scripts and screenshots.
namespace {

const char kUsage[] =
    "usage: windriver [--cwd DIR] [--timeout MS] [--press ID | --click ID | --close]\n"
    "                 [--after MS] [--env NAME=VALUE]... (--raw COMMANDLINE | PROGRAM ARGS...)\n"
    "Prints each window of the program as it appears, acts on it, then 'exit code: N'.\n"
    "Exit status: 0 when the program ended by itself, 2 on time-out, 3 when it did not start.\n";

void writeOut(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

// Quoted, with line ends and tabs shown as escapes so each control stays on one line.
std::string shown(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : utf8(text)) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void printWindow(const support::WindowInfo& window) {
    std::string text = "window pid=" + std::to_string(window.processId) +
                       " class=" + shown(window.className) + " title=" + shown(window.title) + "\n";
    for (const auto& control : window.controls) {
        text += "  control id=" + std::to_string(control.id) +
                " class=" + shown(control.className) + " text=" + shown(control.text) + "\n";
    }
    writeOut(text);
}

bool parseNumber(const wchar_t* text, long long& value) {
    wchar_t* end = nullptr;
    value = std::wcstoll(text, &end, 0);
    return end != text && *end == L'\0';
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring workingDir;
    std::wstring commandLine;
    support::RunOptions options;
    options.timeoutMs = 60000;
    support::WindowAction action;
    long long after = 0;
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long number = 0;
        if (arg == L"--cwd" && hasValue) {
            workingDir = argv[++i];
        } else if (arg == L"--timeout" && hasValue && parseNumber(argv[i + 1], number)) {
            options.timeoutMs = static_cast<DWORD>(number);
            ++i;
        } else if ((arg == L"--press" || arg == L"--click") && hasValue &&
                   parseNumber(argv[i + 1], number)) {
            action = arg == L"--press" ? support::WindowAction::press(static_cast<int>(number))
                                       : support::WindowAction::click(static_cast<int>(number));
            ++i;
        } else if (arg == L"--close") {
            action = support::WindowAction::close();
        } else if (arg == L"--after" && hasValue && parseNumber(argv[i + 1], after)) {
            ++i;
        } else if (arg == L"--env" && hasValue) {
            options.environment.emplace_back(argv[++i]);
        } else if (arg == L"--raw" && hasValue) {
            commandLine = argv[++i];
            ++i;
            break;
        } else if (arg.starts_with(L"--")) {
            writeOut(kUsage);
            return 3;
        } else {
            break;
        }
    }
    for (; i < argc; ++i) {
        if (!commandLine.empty()) commandLine += L' ';
        commandLine += support::quoteArgument(argv[i]);
    }
    if (commandLine.empty()) {
        writeOut(kUsage);
        return 3;
    }
    action.delayMs = static_cast<DWORD>(after);
    options.onWindow = printWindow;
    const auto handler = [&](const support::WindowInfo& window) {
        // Only windows that have the button are pressed; the rest are left alone.
        const bool applies = action.kind == support::WindowAction::Kind::Close ||
                             window.control(action.buttonId) != nullptr;
        if (applies && action.kind != support::WindowAction::Kind::Leave) {
            writeOut("action on window " + shown(window.title) + "\n");
        }
        return applies ? action : support::WindowAction::leave();
    };
    const support::RunResult result =
        support::runAndWatch(commandLine, workingDir, handler, options);
    if (!result.started) {
        writeOut("cannot start: error " + std::to_string(result.startError) + "\n");
        return 3;
    }
    if (!result.standardOutput.empty()) writeOut("stdout: " + result.standardOutput + "\n");
    if (!result.standardError.empty()) writeOut("stderr: " + result.standardError + "\n");
    if (result.timedOut) writeOut("timed out: killed\n");
    writeOut("exit code: " + std::to_string(result.signedExitCode()) + "\n");
    return result.timedOut ? 2 : 0;
}

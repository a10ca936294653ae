#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Starts a program and works its windows the way a user would: every visible top-level window of
// the process (and of processes it starts) is read once and handed to a handler, which answers
// with a button to press, a close, or nothing.
namespace support {

// The static control that holds a message box's text.
inline constexpr int kMessageBoxTextId = 0xFFFF;

struct ControlInfo {
    HWND handle = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    bool visible = false;
};

struct WindowInfo {
    HWND handle = nullptr;
    DWORD processId = 0;
    std::wstring className;
    std::wstring title;
    std::vector<ControlInfo> controls;

    // "#32770" is the class of dialogs and message boxes.
    [[nodiscard]] bool isDialog() const { return className == L"#32770"; }
    // The control with that id, or null.
    [[nodiscard]] const ControlInfo* control(int id) const;
    // A message box's text (the control with id 0xFFFF); empty when there is none.
    [[nodiscard]] std::wstring messageText() const;
    // True when a button-class control with that id exists.
    [[nodiscard]] bool hasButton(int id) const;
};

struct WindowAction {
    enum class Kind {
        Leave,  // do nothing
        Press,  // WM_COMMAND (id, BN_CLICKED) to the window, as a click on the button does
        Click,  // BM_CLICK to the button itself
        Close,  // WM_CLOSE to the window
    };
    Kind kind = Kind::Leave;
    int buttonId = 0;
    // Wait this long before acting (screenshots).
    DWORD delayMs = 0;

    static WindowAction leave() { return {}; }
    static WindowAction press(int id, DWORD delayMs = 0) { return {Kind::Press, id, delayMs}; }
    static WindowAction click(int id, DWORD delayMs = 0) { return {Kind::Click, id, delayMs}; }
    static WindowAction close(DWORD delayMs = 0) { return {Kind::Close, 0, delayMs}; }
};

using WindowHandler = std::function<WindowAction(const WindowInfo&)>;

struct RunResult {
    bool started = false;
    DWORD startError = 0;             // GetLastError of CreateProcessW when it failed
    bool timedOut = false;            // the process (and its children) were killed
    DWORD exitCode = 0;               // all 32 bits
    std::vector<WindowInfo> windows;  // every window seen, in order of appearance
    std::string standardOutput;       // raw bytes the process wrote
    std::string standardError;

    [[nodiscard]] std::int32_t signedExitCode() const {
        return static_cast<std::int32_t>(exitCode);
    }
    // True when the program ran to its end by itself.
    [[nodiscard]] bool finished() const { return started && !timedOut; }
};

struct RunOptions {
    DWORD timeoutMs = 30000;
    DWORD pollMs = 50;
    // Extra environment entries ("NAME=value") added to this process's environment for the child.
    std::vector<std::wstring> environment;
    // Called for each window as soon as it is read, before the handler (e.g. to print it).
    std::function<void(const WindowInfo&)> onWindow;
};

// Reads one window: class, title and every child control with id, class and text.
[[nodiscard]] WindowInfo readWindow(HWND window, DWORD processId);

// Runs commandLine (CreateProcessW, the first token names the program) in workingDir (empty:
// this process's) and watches it until it ends or the timeout passes. Windows of processes the
// program starts are watched too. Standard output and error go to pipes and are returned.
[[nodiscard]] RunResult runAndWatch(const std::wstring& commandLine, const std::wstring& workingDir,
                                    const WindowHandler& handler, const RunOptions& options);
[[nodiscard]] RunResult runAndWatch(const std::wstring& commandLine, const std::wstring& workingDir,
                                    const WindowHandler& handler, DWORD timeoutMs = 30000);

// Quotes one command-line argument so that the usual splitting rules give it back unchanged.
[[nodiscard]] std::wstring quoteArgument(const std::wstring& argument);

}  // namespace support

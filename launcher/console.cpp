#include "launcher/console.h"

namespace launcher {

namespace {
bool isLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || isLineBreak(c); }
}  // namespace

MessageRoute defaultMessageRoute(Subsystem subsystem) {
    if (subsystem == Subsystem::Gui) return {};
    return {.boxes = false, .traceToStandardError = true, .attachParentConsole = false};
}

MessageRoute messageRoute(Subsystem subsystem, const ApplicationFlags& flags,
                          const OutputRedirection& output) {
    MessageRoute route = defaultMessageRoute(subsystem);
    if (subsystem == Subsystem::Console) {
        route.boxes = flags.consoleErrorBoxes;
        return route;
    }
    // With both streams in files there is nothing the console would be used for.
    const bool bothInFiles = !output.outputFile.empty() && !output.errorFile.empty();
    route.attachParentConsole = flags.attachConsole && !bothInFiles;
    return route;
}

std::wstring consoleLine(std::wstring_view text) {
    std::wstring line;
    line.reserve(text.size() + 2);
    bool pendingSpace = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (isLineBreak(c)) {
            // Blanks before a break are dropped with it, and so are those after it.
            while (!line.empty() && isBlank(line.back())) line.pop_back();
            while (i + 1 < text.size() && isBlank(text[i + 1])) ++i;
            pendingSpace = !line.empty();
            continue;
        }
        if (line.empty() && isBlank(c)) continue;
        if (pendingSpace) line.push_back(L' ');
        pendingSpace = false;
        line.push_back(c);
    }
    while (!line.empty() && isBlank(line.back())) line.pop_back();
    line += L"\r\n";
    return line;
}

std::wstring jreNotFoundConsoleLine(std::wstring_view message, std::wstring_view downloadUrl) {
    std::wstring text(message);
    text += L' ';
    text += downloadUrl;
    return consoleLine(text);
}

}  // namespace launcher

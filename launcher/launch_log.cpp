#include "launcher/launch_log.h"

#include "base/path.h"

namespace launcher {

namespace {

void appendCodePoint(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One "key: value" line; a value's own line breaks continue on indented lines, so a message
// text can never look like the start of a record or a key.
void addLine(std::string& out, std::string_view key, std::wstring_view value) {
    out += key;
    out += ": ";
    std::wstring line;
    for (const wchar_t c : value) {
        if (c == L'\r') continue;
        if (c == L'\n') {
            out += utf8Of(line);
            out += "\n    ";
            line.clear();
        } else {
            line += c;
        }
    }
    out += utf8Of(line);
    out += '\n';
}

}  // namespace

std::string utf8Of(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        if (c > 0x10FFFF) {
            c = 0xFFFD;  // only possible where wchar_t holds UTF-32 (the test host)
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() &&
                   (static_cast<uint32_t>(text[i + 1]) & 0xFC00) == 0xDC00) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((static_cast<uint32_t>(text[i + 1]) & 0x3FF));
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendCodePoint(out, c);
    }
    return out;
}

std::wstring launchLogFileOfSetting(std::wstring_view expandedSetting,
                                    std::wstring_view executableFolder) {
    if (expandedSetting.empty() || base::isAbsoluteForExistenceTest(expandedSetting)) {
        return std::wstring(expandedSetting);
    }
    while (!expandedSetting.empty() && expandedSetting.front() == L'\\') {
        expandedSetting.remove_prefix(1);
    }
    if (expandedSetting.empty()) return {};
    return base::joinPath(executableFolder, expandedSetting);
}

std::wstring fileVersionOfResource(const unsigned char* bytes, size_t size) {
    const auto word = [bytes](size_t at) {
        return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
               static_cast<uint32_t>(bytes[at + 2]) << 16 |
               static_cast<uint32_t>(bytes[at + 3]) << 24;
    };
    // Signature, structure version, then the file version's high and low halves.
    constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDu;
    for (size_t at = 0; bytes != nullptr && size >= 16 && at <= size - 16; at += 4) {
        if (word(at) != kFixedInfoSignature) continue;
        const uint32_t high = word(at + 8);
        const uint32_t low = word(at + 12);
        return std::to_wstring(high >> 16) + L"." + std::to_wstring(high & 0xFFFFu) + L"." +
               std::to_wstring(low >> 16) + L"." + std::to_wstring(low & 0xFFFFu);
    }
    return {};
}

std::string launchRecordText(const LaunchRecord& record) {
    std::string out =
        "=== launch " + utf8Of(record.time) + " process " + std::to_string(record.processId) + "\n";
    addLine(out, "executable", record.executable);
    if (!record.executableVersion.empty()) addLine(out, "version", record.executableVersion);
    for (const SettingsFileNote& file : record.settingsFiles) {
        addLine(out, file.read ? "settings read" : "settings missing", file.path);
    }
    for (const jre::CandidateNote& candidate : record.candidates) {
        std::wstring line = candidate.source + L" " + candidate.place;
        if (!candidate.version.empty()) line += L" " + candidate.version;
        addLine(out, "candidate", line + L": " + candidate.verdict);
    }
    if (record.secondInstance) {
        addLine(out, "second instance", L"arguments handed to the running instance");
    } else if (!record.runtime.empty()) {
        addLine(out, "runtime",
                record.runtimeVersion.empty()
                    ? record.runtime
                    : record.runtime + L" (" + record.runtimeVersion + L")");
    } else {
        addLine(out, "runtime", L"none found");
    }
    if (!record.pairProduct.empty()) addLine(out, "handed to pair", record.pairProduct);
    for (const std::wstring& option : record.jvmOptions) addLine(out, "jvm option", option);
    if (!record.mainClass.empty()) addLine(out, "main class", record.mainClass);
    for (const std::wstring& message : record.messages) addLine(out, "message", message);
    addLine(out, "exit code",
            record.exitCode ? std::to_wstring(*record.exitCode) : std::wstring(L"unknown"));
    out += '\n';
    return out;
}

}  // namespace launcher

#pragma once

#include <string>
#include <string_view>

// The fake JVM's files live beside the DLL itself: "fakejvm.scenario" is read, "fakejvm.record"
// is appended to, one UTF-8 line per event.
namespace fakejvm {

// The DLL's own folder with a trailing backslash.
[[nodiscard]] const std::wstring& dllFolder();

// Appends one line. Each line is written and the file closed at once, so a process that ends
// with ExitProcess still leaves every line it recorded, and concurrent processes interleave
// whole lines.
void record(std::string_view line) noexcept;

// The scenario text, empty when the file is missing.
[[nodiscard]] std::string readScenarioText();

// Records why and ends the process: a call the fake does not implement (code 99) or a misuse of
// the JNI that a real JVM would punish unpredictably (code 98).
[[noreturn]] void fail(std::string_view line, unsigned exitCode) noexcept;

}  // namespace fakejvm

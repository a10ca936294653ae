#pragma once

#include <string>
#include <string_view>

#include "launcher/launch_settings.h"

namespace launcher {

// The subsystem the executable was linked for: the GUI launcher has no console of its own, the
// console launcher (launcherc.exe, launcher64c.exe) shares its caller's.
enum class Subsystem { Gui, Console };

// Chosen at link time by one small object file per executable.
[[nodiscard]] Subsystem builtSubsystem() noexcept;

// How this launch talks to the user.
struct MessageRoute {
    // Error boxes, the JRE-not-found dialog and the exception dialog; otherwise one line on
    // standard error per message and no dialog at all.
    bool boxes = true;
    // An exception escaping main is printed to standard error, as `java` prints it.
    bool traceToStandardError = false;
    // The GUI launcher joins its parent's console and hands the program standard handles on it.
    bool attachParentConsole = false;
    bool operator==(const MessageRoute&) const = default;
};

// The route before any settings are read.
[[nodiscard]] MessageRoute defaultMessageRoute(Subsystem subsystem);

// The route once the settings are read.
[[nodiscard]] MessageRoute messageRoute(Subsystem subsystem, const ApplicationFlags& flags,
                                        const OutputRedirection& output);

// A message as one line of standard error: every line break (with the blanks around it) becomes
// one space, blanks at either end go, and the line ends with CR LF.
[[nodiscard]] std::wstring consoleLine(std::wstring_view text);

// What the console launcher prints instead of the JRE-not-found dialog: the dialog's message,
// which names the versions wanted and ends in "from:", followed by the download page.
[[nodiscard]] std::wstring jreNotFoundConsoleLine(std::wstring_view message,
                                                  std::wstring_view downloadUrl);

}  // namespace launcher

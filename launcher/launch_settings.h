#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "jre/jre_search.h"
#include "settings/settings_store.h"
#include "splash/splash_settings.h"

// The launch settings as plain values: read once at start-up from the settings stores and
// interpreted here, so that the rest of the launch never goes back to a file.
namespace launcher {

// "Product Information": names the per-user settings folder and the base settings text. Always
// taken from the main settings file alone, never from the base text or a "+" section.
struct ProductSettings {
    std::wstring productName;
    std::wstring productCode;
    std::wstring upgradeCode;
};

// What the JVM's option list and the program's extra arguments are made of, as read.
// Environment references stay unexpanded: they may name the variables the launcher sets for the
// chosen runtime just before the list is built.
struct JvmOptionSettings {
    std::wstring libraryPath;   // "Library Path"
    std::wstring systemPath;    // "System Path"
    std::wstring classPath;     // "Class Path"
    bool embeddedJar = false;   // "Embedded Jar": the executable is a jar of the class path too
    std::wstring vmParameters;  // "Virtual Machine Parameters"
    std::wstring cmdSetting;    // "Cmd": arguments added after the command line's
};

// Where standard output and error go; file names unexpanded, as for JvmOptionSettings.
struct OutputRedirection {
    std::wstring outputFile;
    bool appendOutput = false;
    std::wstring errorFile;
    bool appendError = false;
};

struct ApplicationFlags {
    bool serviceMode = false;
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    bool pairReturnCode = false;
    // "Single Instance" asks for it and the application is not a service.
    bool singleInstance = false;
    // "Attach Console": the GUI launcher uses the console of the program that started it.
    bool attachConsole = false;
    // "Console Error Boxes": the console launcher shows boxes and dialogs as the GUI one does.
    bool consoleErrorBoxes = false;
};

struct LaunchSettings {
    ProductSettings product;
    // Also holds "Pair Product": the search decides whether the launch is handed over to it.
    jre::JreSearchSettings runtimeSearch;
    std::wstring mainClass;  // in JNI form ("/" between packages); empty when not set
    JvmOptionSettings jvmOptions;
    OutputRedirection output;
    ApplicationFlags application;
    // "Launch Log": the file each launch appends its record to, unexpanded; empty: none.
    std::wstring launchLog;
    // The splash, read from the main settings file alone (no base text, no "+" sections).
    splash::SplashSettings display;
};

// The product's identity from the main settings file.
[[nodiscard]] ProductSettings readProductSettings(const settings::SettingsStore& mainFile);

// The splash settings, from the main settings file alone, in the order image, shadow, preference.
[[nodiscard]] splash::SplashSettings readDisplaySettings(const settings::SettingsStore& mainFile);

// Everything else, read through `layered` (the main settings file over the base text).
// `perUser` is the per-user settings file, null when there is none: outside service mode it
// alone supplies "JRE Path", so that a runtime the user picked is not overridden by the main
// file. Missing or malformed values take their defaults; a missing main class is left empty
// for the caller to report.
[[nodiscard]] LaunchSettings interpretLaunchSettings(ProductSettings product,
                                                     const settings::SettingsStore& layered,
                                                     const settings::SettingsStore* perUser);

// The Java program's arguments from the process command line: trimmed, split, and without the
// program's own path.
[[nodiscard]] std::vector<std::wstring> launchArguments(std::wstring_view commandLine);

// "-nosplash" or "/nosplash" as a whole argument (case-sensitive) suppresses the splash.
[[nodiscard]] bool splashSuppressed(const std::vector<std::wstring>& arguments);

}  // namespace launcher

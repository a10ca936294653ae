#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the fake JVM does, read from "fakejvm.scenario" beside the DLL: UTF-8 key=value lines.
// Unknown keys and malformed values are ignored (the default stays), so a broken scenario never
// stops a test run by itself.
namespace fakejvm {

struct Action {
    enum class Kind {
        Return,     // end the method here
        Throw,      // leave the scenario's exception pending and return
        Exit,       // System.exit(number)
        Abort,      // call the "abort" hook, then end the process with 3
        Sleep,      // Sleep(number) milliseconds
        Thread,     // start a non-daemon Java thread that lives number milliseconds
        Box,        // start a non-daemon Java thread showing a message box with text
        ExitAfter,  // start a thread that calls System.exit(second) after number milliseconds
    };
    Kind kind = Kind::Return;
    std::int32_t number = 0;
    std::int32_t second = 0;
    std::string text;

    bool operator==(const Action&) const = default;
};

struct Scenario {
    std::int32_t createResult = 0;
    // JNI_CreateJavaVM takes this long before it answers, as a real JVM's start-up does.
    std::int32_t createDelayMs = 0;
    std::int32_t defaultStackSize = 1048576;
    std::string mainClass = "Main";
    bool hasMain = true;
    bool launcherHelper = true;
    std::vector<Action> mainActions;
    std::vector<Action> secondaryActions;
    // "none": no secondaryMain; "void": returns nothing; "int": returns secondaryResult;
    // "int:args": returns the number its first argument begins with (-2 when there is none),
    // so an answer shows which arguments the call received.
    enum class Secondary { None, Void, Int } secondary = Secondary::None;
    std::int32_t secondaryResult = 0;
    bool secondaryResultFromArguments = false;
    std::string exceptionClass = "java/lang/RuntimeException";
    std::string trace = "java.lang.RuntimeException: boom\r\n\tat Main.main(Main.java:1)\r\n";
    std::string printOut;
    std::string printErr;
    // main reads standard input to its end, as System.in would, and prints it to System.out.
    bool copyInput = false;
    // As a real JVM does, the created VM handles Ctrl+C, Ctrl+Break and the console's close: it
    // records "shutdown hooks <event>" and ends through System.exit(130).
    bool consoleHandler = false;
    // printStackTrace: "no" writes the trace; "yes" throws without writing; "partial" writes
    // the first line of the trace and then throws.
    enum class DescribeThrows { No, Yes, Partial } describeThrows = DescribeThrows::No;
    bool exitThrows = false;
    std::int32_t detachResult = 0;
};

// One action list item: return, throw, exit:<n>, abort, sleep:<ms>, thread:<ms>, box:<text>,
// exit_after:<ms>:<n>. False for anything else.
[[nodiscard]] bool parseAction(std::string_view text, Action& action);

// Comma-separated actions; unknown items are skipped.
[[nodiscard]] std::vector<Action> parseActions(std::string_view text);

[[nodiscard]] Scenario parseScenario(std::string_view text);

}  // namespace fakejvm

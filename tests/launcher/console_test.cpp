#include "launcher/console.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/text_store.h"

namespace launcher {
namespace {

LaunchSettings interpret(std::wstring_view mainText) {
    settings::TextStore store;
    store.parse(mainText);
    return interpretLaunchSettings(readProductSettings(store), store, nullptr);
}

struct RouteCase {
    const char* name;
    Subsystem subsystem;
    std::wstring_view settings;
    MessageRoute expected;
};

TEST(MessageRoute, FollowsTheSubsystemAndTheSettings) {
    constexpr MessageRoute kBoxes{};
    constexpr MessageRoute kStandardError{.boxes = false, .traceToStandardError = true};
    constexpr MessageRoute kAttached{.boxes = true, .attachParentConsole = true};
    const RouteCase cases[] = {
        {"gui default", Subsystem::Gui, L"", kBoxes},
        {"console default", Subsystem::Console, L"", kStandardError},
        {"gui attached, any case", Subsystem::Gui, L"[Application]\nAttach Console=yES\n",
         kAttached},
        {"gui attach needs Yes", Subsystem::Gui, L"[Application]\nAttach Console=1\n", kBoxes},
        {"gui attached, one stream in a file", Subsystem::Gui,
         L"[Application]\nAttach Console=Yes\nOutput File=out.txt\n", kAttached},
        {"gui, both streams in files: nothing to attach for", Subsystem::Gui,
         L"[Application]\nAttach Console=Yes\nOutput File=o.txt\nError File=e.txt\n", kBoxes},
        {"console ignores Attach Console", Subsystem::Console,
         L"[Application]\nAttach Console=Yes\n", kStandardError},
        {"console with boxes still prints the trace",
         Subsystem::Console,
         L"[Application]\nConsole Error Boxes=Yes\n",
         {.boxes = true, .traceToStandardError = true}},
        {"gui ignores Console Error Boxes", Subsystem::Gui,
         L"[Application]\nConsole Error Boxes=Yes\n", kBoxes},
    };
    for (const RouteCase& c : cases) {
        const LaunchSettings settings = interpret(c.settings);
        EXPECT_EQ(messageRoute(c.subsystem, settings.application, settings.output), c.expected)
            << c.name;
    }
    EXPECT_EQ(defaultMessageRoute(Subsystem::Console), kStandardError);
}

TEST(ConsoleLine, MakesOneLineOfAMessage) {
    const std::pair<std::wstring_view, std::wstring_view> cases[] = {
        {L"Main class was not specified in INI file.",
         L"Main class was not specified in INI file.\r\n"},
        {L"JNI exception: failed to create the Java VM\nReason: unknown.\n",
         L"JNI exception: failed to create the Java VM Reason: unknown.\r\n"},
        // A system error text ends in CR LF of its own, inside the message.
        {L"Failed to start the paired launcher x.exe.\nReason: File not found. \r\n\n",
         L"Failed to start the paired launcher x.exe. Reason: File not found.\r\n"},
        {L"  a\r\n\r\n\tb  ", L"a b\r\n"},
        {L"", L"\r\n"},
    };
    for (const auto& [text, line] : cases) EXPECT_EQ(consoleLine(text), line) << text.size();
}

}  // namespace
}  // namespace launcher

#include "tests/support/fake_jvm/scenario.h"

#include <charconv>

#include "tests/support/fake_jvm/text_codec.h"

namespace fakejvm {
namespace {

std::string_view trimmedView(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool parseInt(std::string_view text, std::int32_t& value) {
    text = trimmedView(text);
    int base = 10;
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint32_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    // Values are 32-bit patterns: 0xFFFFFFFF and -1 mean the same.
    value = static_cast<std::int32_t>(negative ? 0U - magnitude : magnitude);
    return true;
}

bool parseYesNo(std::string_view text, bool& value) {
    text = trimmedView(text);
    if (text == "yes") {
        value = true;
    } else if (text == "no") {
        value = false;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool parseAction(std::string_view text, Action& action) {
    text = trimmedView(text);
    const auto colon = text.find(':');
    const std::string_view word = text.substr(0, colon);
    const std::string_view rest =
        colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
    Action parsed;
    if (word == "return" && rest.empty()) {
        parsed.kind = Action::Kind::Return;
    } else if (word == "throw" && rest.empty()) {
        parsed.kind = Action::Kind::Throw;
    } else if (word == "abort" && rest.empty()) {
        parsed.kind = Action::Kind::Abort;
    } else if (word == "exit") {
        parsed.kind = Action::Kind::Exit;
        if (!parseInt(rest, parsed.number)) return false;
    } else if (word == "sleep" || word == "thread") {
        parsed.kind = word == "sleep" ? Action::Kind::Sleep : Action::Kind::Thread;
        if (!parseInt(rest, parsed.number) || parsed.number < 0) return false;
    } else if (word == "box") {
        parsed.kind = Action::Kind::Box;
        parsed.text = unescaped(rest);
    } else if (word == "exit_after") {
        parsed.kind = Action::Kind::ExitAfter;
        const auto second = rest.find(':');
        if (second == std::string_view::npos) return false;
        if (!parseInt(rest.substr(0, second), parsed.number) || parsed.number < 0) return false;
        if (!parseInt(rest.substr(second + 1), parsed.second)) return false;
    } else {
        return false;
    }
    action = parsed;
    return true;
}

std::vector<Action> parseActions(std::string_view text) {
    std::vector<Action> actions;
    while (!text.empty()) {
        const auto comma = text.find(',');
        Action action;
        if (parseAction(text.substr(0, comma), action)) actions.push_back(action);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return actions;
}

Scenario parseScenario(std::string_view text) {
    Scenario scenario;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = trimmedView(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
        const std::string_view key = trimmedView(line.substr(0, equals));
        // Values keep inner spaces; only the line's own ends are trimmed.
        const std::string_view value = line.substr(equals + 1);
        std::int32_t number = 0;
        if (key == "create_result") {
            if (parseInt(value, number)) scenario.createResult = number;
        } else if (key == "create_delay") {
            if (parseInt(value, number) && number >= 0) scenario.createDelayMs = number;
        } else if (key == "default_stack_size") {
            if (parseInt(value, number)) scenario.defaultStackSize = number;
        } else if (key == "main_class") {
            scenario.mainClass = std::string(trimmedView(value));
        } else if (key == "has_main") {
            (void)parseYesNo(value, scenario.hasMain);
        } else if (key == "launcher_helper") {
            (void)parseYesNo(value, scenario.launcherHelper);
        } else if (key == "main") {
            scenario.mainActions = parseActions(value);
        } else if (key == "secondary") {
            scenario.secondaryActions = parseActions(value);
        } else if (key == "secondary_main") {
            const std::string_view kind = trimmedView(value);
            if (kind == "none") {
                scenario.secondary = Scenario::Secondary::None;
            } else if (kind == "void") {
                scenario.secondary = Scenario::Secondary::Void;
            } else if (kind == "int:args") {
                scenario.secondary = Scenario::Secondary::Int;
                scenario.secondaryResultFromArguments = true;
            } else if (kind.starts_with("int:") && parseInt(kind.substr(4), number)) {
                scenario.secondary = Scenario::Secondary::Int;
                scenario.secondaryResult = number;
            }
        } else if (key == "exception_class") {
            scenario.exceptionClass = std::string(trimmedView(value));
        } else if (key == "trace") {
            scenario.trace = unescaped(value);
        } else if (key == "print_out") {
            scenario.printOut = unescaped(value);
        } else if (key == "print_err") {
            scenario.printErr = unescaped(value);
        } else if (key == "console_handler") {
            (void)parseYesNo(value, scenario.consoleHandler);
        } else if (key == "copy_input") {
            (void)parseYesNo(value, scenario.copyInput);
        } else if (key == "describe_throws") {
            const std::string_view mode = trimmedView(value);
            if (mode == "yes") scenario.describeThrows = Scenario::DescribeThrows::Yes;
            if (mode == "no") scenario.describeThrows = Scenario::DescribeThrows::No;
            if (mode == "partial") scenario.describeThrows = Scenario::DescribeThrows::Partial;
        } else if (key == "exit_throws") {
            (void)parseYesNo(value, scenario.exitThrows);
        } else if (key == "detach_result") {
            if (parseInt(value, number)) scenario.detachResult = number;
        }
    }
    return scenario;
}

}  // namespace fakejvm

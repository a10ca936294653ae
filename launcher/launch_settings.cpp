#include "launcher/launch_settings.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "settings/split.h"

namespace launcher {

JvmSourceFlags jvmSourceFlags(std::wstring_view value, JvmSourceFlags current) {
    if (value.empty()) {
        current.acceptJdk = true;
        current.acceptJre = true;
        return current;
    }
    if (value == L"favor_JRE") return {false, true, true};
    if (value == L"favor_JDK") return {true, false, true};
    if (value == L"only_JRE") return {false, true, false};
    if (value == L"only_JDK") return {true, false, false};
    return {false, false, false};
}

VmProviderFlags vmProviderFlags(std::wstring_view value, VmProviderFlags current) {
    struct Row {
        std::wstring_view word;
        VmProviderFlags flags;
    };
    // Row 0's word is empty, so it only documents the defaults and never matches a value.
    static constexpr std::array<Row, 7> rows{{
        {L"", {false, true, false, false, true, false}},
        {L"jrockit", {true, false, false, true, false, false}},
        {L"ibm", {false, false, true, false, false, true}},
        {L"favor_sun", {true, true, true, false, true, false}},
        {L"favor_jrockit", {true, true, true, true, false, false}},
        {L"favor_ibm", {true, true, true, false, false, true}},
        {L"any", {true, true, true, false, false, false}},
    }};
    if (value.empty()) return current;
    for (const auto& row : rows) {
        if (!row.word.empty() && base::equalsIgnoringCase(value, row.word)) return row.flags;
    }
    return current;
}

int jvmTypeFromSetting(std::wstring_view value) {
    if (value == L"server") return 1;
    if (value == L"favor_server") return 2;
    return 0;
}

bool isYesFlag(std::wstring_view value) { return base::equalsIgnoringCase(value, L"Yes"); }

std::wstring mainClassInJniForm(std::wstring_view value) {
    return base::replacedAll(std::wstring(value), L'.', L'/');
}

std::vector<std::wstring> launchArguments(std::wstring_view commandLine) {
    std::vector<std::wstring> arguments;
    settings::splitCommandLine(base::trimmed(commandLine), arguments);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

bool splashSuppressed(const std::vector<std::wstring>& arguments) {
    const auto has = [&](std::wstring_view word) {
        return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
    };
    return has(L"-nosplash") || has(L"/nosplash");
}

}  // namespace launcher

// Keeps the user's guide true to the code: every key the launcher reads is documented in
// docs/settings.md and every documented key is read, and every message of the string table is
// explained in docs/troubleshooting.md.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "launcher/settings_keys.h"

namespace {

std::string readSourceFile(const std::string& relativePath) {
    std::ifstream file(std::string(LAUNCHER_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    EXPECT_TRUE(file) << relativePath;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string narrow(std::wstring_view text) {
    std::string out;
    for (const wchar_t c : text) out.push_back(static_cast<char>(c));  // the keys are ASCII
    return out;
}

using KeySet = std::set<std::string>;  // "Section/Key"

// Keys documented in the guide: a "## `[Section]`" heading, then table rows whose first cell
// is the key in backticks.
KeySet documentedKeys(const std::string& guide) {
    KeySet keys;
    const std::regex heading(R"(^## `\[(.+)\]`\s*$)");
    const std::regex row(R"(^\| `([^`]+)` \|)");
    std::istringstream lines(guide);
    std::string line, section;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, match, heading)) {
            section = match[1];
        } else if (!section.empty() && std::regex_search(line, match, row)) {
            keys.insert(section + "/" + match[1].str());
        }
    }
    return keys;
}

KeySet keysTheLauncherReads() {
    KeySet keys;
    for (const auto& key : launcher::keys::kAllKeys)
        keys.insert(narrow(key.section) + "/" + narrow(key.key));
    return keys;
}

TEST(UserGuide, DocumentsExactlyTheKeysTheLauncherReads) {
    const KeySet documented = documentedKeys(readSourceFile("docs/settings.md"));
    const KeySet read = keysTheLauncherReads();
    for (const auto& key : read) EXPECT_TRUE(documented.count(key)) << "undocumented: " << key;
    for (const auto& key : documented) EXPECT_TRUE(read.count(key)) << "not read: " << key;
}

// The texts of the string table as the resource script spells them, each cut at its "\n"
// escapes (a message's lines are documented where they make sense).
std::vector<std::string> stringTableLines(const std::string& script) {
    std::vector<std::string> lines;
    const auto begin = script.find("STRINGTABLE");
    const std::regex entry(R"re(^\s*IDS_\w+\s+"((?:[^"]|"")*)"\s*$)re");
    std::istringstream input(script.substr(begin == std::string::npos ? script.size() : begin));
    std::string line;
    std::smatch match;
    while (std::getline(input, line)) {
        if (!std::regex_match(line, match, entry)) continue;
        std::string text = match[1];
        for (std::size_t at; (at = text.find("\\n")) != std::string::npos;) {
            if (at > 0) lines.push_back(text.substr(0, at));
            text.erase(0, at + 2);
        }
        if (!text.empty()) lines.push_back(text);
    }
    return lines;
}

TEST(UserGuide, ExplainsEveryMessageOfTheStringTable) {
    const auto lines = stringTableLines(readSourceFile("resources/launcher.rc"));
    ASSERT_GT(lines.size(), 20u);
    const std::string guide = readSourceFile("docs/troubleshooting.md");
    for (const auto& text : lines) EXPECT_NE(guide.find(text), std::string::npos) << text;
}

}  // namespace

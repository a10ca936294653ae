// The snapshot of a settings file against GetPrivateProfileStringW itself: every file of the
// corpus (kept beside this test, plus long values made here) is read both ways, key by key.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/growing_read.h"
#include "settings/ini_snapshot.h"
#include "settings/settings_file_win.h"
#include "tests/settings/temp_folder_win.h"

namespace settings {
namespace {

using testing_support::TempFolder;
using testing_support::writeFileBytes;

using Query = std::pair<std::wstring, std::wstring>;

// What the launcher read before snapshots: the profile API with its growing buffer.
std::wstring profileValue(const std::wstring& file, const Query& query) {
    return readProfileValue([&](wchar_t* buffer, uint32_t size) -> uint32_t {
        return GetPrivateProfileStringW(query.first.c_str(), query.second.c_str(), L"", buffer,
                                        size, file.c_str());
    });
}

std::vector<std::wstring> profileSectionNames(const std::wstring& file) {
    std::vector<std::wstring> names;
    readProfileSectionNames(
        [&](wchar_t* buffer, uint32_t size) -> uint32_t {
            return GetPrivateProfileSectionNamesW(buffer, size, file.c_str());
        },
        names);
    return names;
}

// The profile API rereads a file written in the last two seconds on every call; an old time
// stamp lets it keep the parse, which keeps the many reads of this test fast.
void backdate(const std::wstring& file) {
    HANDLE handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const SYSTEMTIME newYear2000{2000, 1, 6, 1, 0, 0, 0, 0};
    FILETIME old{};
    SystemTimeToFileTime(&newYear2000, &old);
    SetFileTime(handle, nullptr, nullptr, &old);
    CloseHandle(handle);
}

wchar_t asciiCaseSwapped(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
    return c;
}

std::wstring trimmedWide(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c <= L' ' || c == 0xA0 || c == 0x3000; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::wstring(text.substr(0, text.find(L'\0')));
}

// Names worth asking for, found by a scan looser than either parser: every piece before an "="
// or between brackets, on lines split at line feeds only and at both line-break characters,
// each paired with the header above it, and in swapped case.
std::set<Query> queriesFor(std::wstring_view text) {
    std::set<Query> queries = {{L"Java Runtime Environment", L"Main Class"},
                               {L"Product Information", L"Product Name"},
                               {L"", L"orphan"},
                               {L"missing", L"missing"}};
    for (const std::wstring_view breaks : {std::wstring_view(L"\n"), std::wstring_view(L"\r\n")}) {
        std::wstring section;
        size_t position = 0;
        while (position <= text.size()) {
            size_t end = text.find_first_of(breaks, position);
            if (end == std::wstring_view::npos) end = text.size();
            const std::wstring_view line = text.substr(position, end - position);
            position = end + 1;
            const size_t open = line.find(L'[');
            const size_t close = line.rfind(L']');
            if (open != std::wstring_view::npos && close != std::wstring_view::npos &&
                close > open) {
                section = trimmedWide(line.substr(open + 1, close - open - 1));
            }
            const std::wstring key = trimmedWide(line.substr(0, line.find(L'=')));
            std::wstring swapped = key;
            for (wchar_t& c : swapped) c = asciiCaseSwapped(c);
            for (const auto& name : {key, swapped}) {
                if (name.empty() || name.size() > 200) continue;
                queries.insert({section, name});
                queries.insert({L"", name});
            }
        }
    }
    return queries;
}

std::vector<std::byte> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> bytes(chars.size());
    for (size_t i = 0; i < chars.size(); ++i) bytes[i] = static_cast<std::byte>(chars[i]);
    return bytes;
}

class ProfileDifferentialTest : public ::testing::Test {
  protected:
    // Reads every query both ways; returns how many values were compared.
    // `lostLastCharacter` names the values the profile API returns one character short.
    size_t compare(const std::string& name, std::string_view bytes,
                   const std::set<Query>& extraQueries = {},
                   const std::wstring& lostLastCharacter = {}) {
        SCOPED_TRACE(name);
        // A new name each time: the profile API would take a backdated file of a name it has
        // read before for the one it cached.
        const std::wstring file = folder / (L"Corpus" + std::to_wstring(++files_) + L".ini");
        writeFileBytes(file, bytes);
        backdate(file);
        const auto* data = reinterpret_cast<const std::byte*>(bytes.data());
        const std::wstring text = decodeSettingsText({data, bytes.size()});

        const IniSnapshot snapshot = readSettingsFile(file);
        EXPECT_EQ(snapshot.sectionNames(), profileSectionNames(file));
        std::set<Query> queries = queriesFor(text);
        queries.insert(extraQueries.begin(), extraQueries.end());
        for (const Query& query : queries) {
            const std::wstring expected = profileValue(file, query);
            const std::wstring actual = snapshot.valueOf(query.first, query.second);
            if (expected == actual) continue;
            if (!lostLastCharacter.empty() && actual == lostLastCharacter &&
                expected == actual.substr(0, actual.size() - 1)) {
                continue;
            }
            ADD_FAILURE() << "[" << testing::PrintToString(query.first) << "] "
                          << testing::PrintToString(query.second) << ": profile API gives "
                          << testing::PrintToString(expected.substr(0, 80)) << " ("
                          << expected.size() << " chars), snapshot "
                          << testing::PrintToString(actual.substr(0, 80)) << " (" << actual.size()
                          << " chars)";
        }
        return queries.size();
    }

    TempFolder folder;
    int files_ = 0;
};

TEST_F(ProfileDifferentialTest, CorpusFilesReadAlike) {
    // The folder is a host path; Wine shows the host's root as drive Z.
    const std::filesystem::path corpus(std::string("Z:") + PROFILE_CORPUS_DIR);
    size_t files = 0;
    size_t values = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const auto extension = entry.path().extension();
        if (extension != ".ini" && extension != ".bin") continue;
        const auto bytes = fileBytes(entry.path());
        values += compare(entry.path().filename().string(),
                          {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        ++files;
    }
    EXPECT_GE(files, 20u);
    std::printf("compared %zu values in %zu corpus files\n", values, files);
}

// Values around the sizes where the growing buffer doubles, up to the 4 Mi character limit,
// plain and quoted.
TEST_F(ProfileDifferentialTest, LongValuesReadAlike) {
    const size_t limit = kMaxProfileReadChars;
    for (const size_t length :
         {size_t{254}, size_t{255}, size_t{256}, size_t{511}, size_t{512}, size_t{600},
          size_t{1023}, size_t{65535}, limit - 2, limit - 1, limit, limit + 10}) {
        for (const bool quoted : {false, true}) {
            std::string text = "[Long]\r\nk=";
            if (quoted) text += '"';
            text.append(length, 'v');
            if (quoted) text += '"';
            text += "\r\nafter=x\r\n";
            // The profile API drops the closing quote only when the buffer holds it, and
            // otherwise the last character in its place: a quoted value that exactly fills a
            // buffer size comes back one character short, so the growing read never notices
            // the cut. The snapshot keeps the whole value.
            const bool fillsBuffer = ((length + 1) & length) == 0 && length + 1 >= 256;
            const std::wstring whole(std::min(length, limit - 1), L'v');
            compare("length " + std::to_string(length) + (quoted ? " quoted" : ""), text,
                    {{L"Long", L"k"}, {L"Long", L"after"}},
                    quoted && fillsBuffer ? whole : std::wstring());
        }
    }
}

TEST_F(ProfileDifferentialTest, ManySectionsAndLongLinesReadAlike) {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    }
    text += "[Wide]\r\n" + std::string(100000, 'x') + "=long key\r\nk=" + std::string(300000, ' ') +
            "padded" + std::string(300000, '\t') + "\r\n";
    compare("many sections", text);
}

}  // namespace
}  // namespace settings

#include "settings/text_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace settings {
namespace {

std::optional<std::wstring> lookup(const TextStore& store, std::wstring_view section,
                                   std::wstring_view key) {
    const std::wstring* value = store.find(section, key);
    return value ? std::optional<std::wstring>(*value) : std::nullopt;
}

TextStore parsed(std::wstring_view text) {
    TextStore store;
    store.parse(text);
    return store;
}

struct LookupCase {
    const char* name;
    std::wstring text;
    std::wstring section;
    std::wstring key;
    std::optional<std::wstring> expected;
};

std::ostream& operator<<(std::ostream& os, const LookupCase& c) { return os << c.name; }

class TextStoreLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(TextStoreLookupTest, FindsValue) {
    const auto& c = GetParam();
    EXPECT_EQ(lookup(parsed(c.text), c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextStoreLookupTest,
    ::testing::Values(
        LookupCase{"plain", L"[A]\r\nk=v\r\n", L"A", L"k", L"v"},
        LookupCase{"last line without separator", L"[A]\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"key and value trimmed", L"[A]\r\n  k \t=   v  \r\n", L"A", L"k", L"v"},
        LookupCase{"value keeps later equals", L"[A]\r\nk = a=b\r\n", L"A", L"k", L"a=b"},
        LookupCase{"empty value", L"[A]\r\nk=\r\n", L"A", L"k", L""},
        LookupCase{"header framed by blanks", L"  [A] \t\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"spaces inside brackets belong to the name", L"[ A ]\r\nk=v", L" A ", L"k",
                   L"v"},
        LookupCase{"spaces inside brackets not found without them", L"[ A ]\r\nk=v", L"A", L"k",
                   std::nullopt},
        LookupCase{"section names are case-sensitive", L"[A]\r\nk=v", L"a", L"k", std::nullopt},
        LookupCase{"keys are case-sensitive", L"[A]\r\nk=v", L"A", L"K", std::nullopt},
        LookupCase{"semicolon line is an entry", L"[A]\r\n;k=v", L"A", L";k", L"v"},
        LookupCase{"line without equals skipped", L"[A]\r\nk\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"entries before any section skipped", L"k=v\r\n[A]\r\n", L"A", L"k",
                   std::nullopt},
        LookupCase{"first duplicate key wins", L"[A]\r\nk=1\r\nk=2", L"A", L"k", L"1"},
        LookupCase{"first duplicate section wins", L"[A]\r\nx=1\r\n[A]\r\nk=2", L"A", L"k",
                   std::nullopt},
        LookupCase{"byte-order mark before header", L"\xFEFF[A]\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"byte-order mark only removed once", L"\xFEFF\xFEFF[A]\r\nk=v", L"A", L"k",
                   std::nullopt},
        LookupCase{"lone line feeds do not end lines", L"[A]\nk=v\n", L"A", L"k", std::nullopt},
        LookupCase{"lone line feeds after a header line", L"[A]\r\nk=v\nj=w", L"A", L"k",
                   L"v\nj=w"},
        LookupCase{"lone carriage return ends nothing", L"[A]\rk=v", L"A", L"k", std::nullopt},
        LookupCase{"header trailed by a line feed", L"[A]\n\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"empty section name", L"[]\r\nk=v", L"", L"k", L"v"},
        LookupCase{"unclosed bracket line is an entry", L"[A]\r\n[x=y", L"A", L"[x", L"y"},
        LookupCase{"lone bracket is no header", L"[A]\r\n[\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"name between first and last bracket", L"[a]b]\r\nk=v", L"a]b", L"k", L"v"},
        LookupCase{"empty lines between", L"[A]\r\n\r\n\r\nk=v", L"A", L"k", L"v"},
        LookupCase{"embedded NUL is ordinary", std::wstring(L"[A]\r\nk=a\0b", 10), L"A", L"k",
                   std::wstring(L"a\0b", 3)}));

TEST(TextStore, OnlyLoneLineFeedHeaderIsStored) {
    // One line that is a single header: the section exists, with nothing in it.
    TextStore store = parsed(L"[A]\n");
    std::vector<std::wstring> names;
    store.getSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A"}));
}

TEST(TextStore, GetStringLeavesOutUnchangedWhenMissing) {
    TextStore store = parsed(L"[A]\r\nk=v");
    std::wstring out = L"before";
    store.getString(L"A", L"missing", out);
    EXPECT_EQ(out, L"before");
    store.getString(L"B", L"k", out);
    EXPECT_EQ(out, L"before");
    store.getString(L"A", L"k", out);
    EXPECT_EQ(out, L"v");
}

TEST(TextStore, ParseReplacesContent) {
    TextStore store = parsed(L"[A]\r\nk=v");
    store.parse(L"[B]\r\nj=w");
    EXPECT_EQ(store.find(L"A", L"k"), nullptr);
    EXPECT_EQ(lookup(store, L"B", L"j"), L"w");
    store.parse(L"");
    std::vector<std::wstring> names{L"stale"};
    store.getSectionNames(names);
    EXPECT_TRUE(names.empty());
}

TEST(TextStore, SectionNamesInOrderWithDuplicates) {
    TextStore store = parsed(L"[B]\r\n[A]\r\n[B]");
    std::vector<std::wstring> names;
    store.getSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"B", L"A", L"B"}));
}

TEST(TextStore, SetStringAppendsToFirstSection) {
    TextStore store = parsed(L"[A]\r\nk=1\r\n[A]");
    EXPECT_TRUE(store.setString(L"A", L"k", L"2"));
    EXPECT_EQ(lookup(store, L"A", L"k"), L"1");  // the first entry still wins
    EXPECT_TRUE(store.setString(L"New", L"j", L"x"));
    EXPECT_EQ(lookup(store, L"New", L"j"), L"x");
    std::vector<std::wstring> names;
    store.getSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"A", L"New"}));
}

TEST(TextStore, NoFileBehindIt) {
    TextStore store;
    std::array<uint8_t, 4> buffer{1, 2, 3, 4};
    EXPECT_EQ(store.probe(buffer), 1u);
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_FALSE(store.remove());
}

TEST(TextStore, HugeLineAndManyLines) {
    std::wstring text = L"[A]\r\nk=";
    text.append(1 << 20, L'x');
    text += L"\r\n";
    for (int i = 0; i < 20000; ++i) text += L"[S]\r\nk=v\r\n";
    TextStore store = parsed(text);
    const std::wstring* value = store.find(L"A", L"k");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->size(), size_t{1} << 20);
    std::vector<std::wstring> names;
    store.getSectionNames(names);
    EXPECT_EQ(names.size(), 20001u);
}

}  // namespace
}  // namespace settings

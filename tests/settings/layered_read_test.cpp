#include "settings/layered_read.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace settings {
namespace {

// A file as the profile API sees it, recording which sections were asked for.
class FakeFile {
  public:
    explicit FakeFile(std::map<std::pair<std::wstring, std::wstring>, std::wstring> values)
        : values_(std::move(values)) {}

    FileValueReader reader() {
        return [this](std::wstring_view section, std::wstring_view key) {
            readSections.emplace_back(section);
            auto found = values_.find({std::wstring(section), std::wstring(key)});
            return found == values_.end() ? std::wstring() : found->second;
        };
    }

    std::vector<std::wstring> readSections;

  private:
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values_;
};

TextStore baseLayer(std::wstring_view text) {
    TextStore store;
    store.parse(text);
    return store;
}

struct LayerCase {
    const char* name;
    std::wstring baseText;
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> file;
    std::wstring expected;
};

std::ostream& operator<<(std::ostream& os, const LayerCase& c) { return os << c.name; }

class LayeredReadTest : public ::testing::TestWithParam<LayerCase> {};

TEST_P(LayeredReadTest, ReadsAk) {
    const auto& c = GetParam();
    FakeFile file(c.file);
    std::wstring out = L"stale";
    layeredRead(baseLayer(c.baseText), file.reader(), L"A", L"k", out);
    EXPECT_EQ(out, c.expected);
}

const std::wstring kPaddedBase = L"[A]\r\nk=   v   \r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, LayeredReadTest,
    ::testing::Values(
        LayerCase{"base only, trimmed", kPaddedBase, {}, L"v"},
        LayerCase{
            "extension appended after one space", kPaddedBase, {{{L"A+", L"k"}, L"-x"}}, L"v -x"},
        LayerCase{"extension with its own leading space",
                  kPaddedBase,
                  {{{L"A+", L"k"}, L" -x"}},
                  L"v -x"},
        LayerCase{"file replaces base",
                  kPaddedBase,
                  {{{L"A", L"k"}, L"w"}, {{L"A+", L"k"}, L"-x"}},
                  L"w"},
        LayerCase{
            "extension without base begins with a space", L"", {{{L"A+", L"k"}, L"x"}}, L" x"},
        LayerCase{"nothing anywhere", L"", {}, L""},
        LayerCase{"file value without base", L"", {{{L"A", L"k"}, L"w"}}, L"w"},
        LayerCase{"base key in a second section of the same name is not seen",
                  L"[A]\r\nother=1\r\n[A]\r\nk=v",
                  {},
                  L""},
        LayerCase{
            "extension of another key is ignored", kPaddedBase, {{{L"A+", L"j"}, L"x"}}, L"v"}));

TEST(LayeredRead, ExtensionSectionReadOnlyWhenFileGivesNothing) {
    FakeFile file({{{L"A", L"k"}, L"w"}});
    std::wstring out;
    layeredRead(baseLayer(kPaddedBase), file.reader(), L"A", L"k", out);
    EXPECT_EQ(file.readSections, (std::vector<std::wstring>{L"A"}));

    FakeFile empty({});
    layeredRead(baseLayer(kPaddedBase), empty.reader(), L"Java Runtime Environment", L"k", out);
    EXPECT_EQ(empty.readSections, (std::vector<std::wstring>{L"Java Runtime Environment",
                                                             L"Java Runtime Environment+"}));
}

}  // namespace
}  // namespace settings

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "jvm/class_path.h"

namespace {

constexpr std::wstring_view kModule = L"C:\\App\\app.exe";

// A file system given as search pattern -> names; every search is recorded.
class ClassPathComposition : public testing::Test {
  protected:
    std::wstring compose(std::wstring_view setting, bool embeddedJar = false) {
        const jvm::ClassPathServices services{
            [this](const std::wstring& text) {
                const auto found = variables.find(text);
                return found == variables.end() ? text : found->second;
            },
            [this](const std::wstring& pattern) {
                searches.push_back(pattern);
                const auto found = files.find(pattern);
                return found == files.end() ? std::vector<std::wstring>{} : found->second;
            }};
        return jvm::composeClassPath(setting, kModule, embeddedJar, services);
    }

    std::map<std::wstring, std::vector<std::wstring>> files;
    std::map<std::wstring, std::wstring> variables;
    std::vector<std::wstring> searches;
};

TEST_F(ClassPathComposition, ResolvesRelativeAndKeepsAbsoluteElements) {
    files[L"C:\\App\\lib\\a.jar"] = {L"a.jar"};
    EXPECT_EQ(compose(L"\\lib\\a.jar;C:\\x\\b.jar"), L"C:\\App\\lib\\a.jar;C:\\x\\b.jar");
    EXPECT_EQ(searches, std::vector<std::wstring>{L"C:\\App\\lib\\a.jar"});
}

TEST_F(ClassPathComposition, ExpandsWildcardsInSearchOrder) {
    files[L"C:\\App\\lib\\*.jar"] = {L"y.jar", L"X.jar"};
    EXPECT_EQ(compose(L"\\lib\\*.jar"), L"C:\\App\\lib\\y.jar;C:\\App\\lib\\X.jar");
    files.clear();
    EXPECT_EQ(compose(L"\\lib\\*.jar"), L"");
}

TEST_F(ClassPathComposition, SearchesAbsoluteWildcards) {
    files[L"D:\\libs\\*.jar"] = {L"c.jar"};
    files[L"\\\\server\\share\\*.jar"] = {L"d.jar"};
    EXPECT_EQ(compose(L"D:\\libs\\*.jar;\\\\server\\share\\*.jar"),
              L"D:\\libs\\c.jar;\\\\server\\share\\d.jar");
}

TEST_F(ClassPathComposition, DropsMissingRelativeButKeepsMissingAbsolute) {
    EXPECT_EQ(compose(L"\\missing.jar;C:\\missing.jar;\\\\srv\\s\\missing.jar"),
              L"C:\\missing.jar;\\\\srv\\s\\missing.jar");
}

TEST_F(ClassPathComposition, RelativeElementWithoutFolder) {
    files[L"C:\\App\\a.jar"] = {L"a.jar"};
    EXPECT_EQ(compose(L"\\a.jar"), L"C:\\App\\a.jar");
    // Short elements are relative too: "x" searches C:\Appx.
    EXPECT_EQ(compose(L"x"), L"");
    EXPECT_EQ(searches.back(), L"C:\\Appx");
}

TEST_F(ClassPathComposition, SkipsEmptyElements) {
    files[L"C:\\App\\a.jar"] = {L"a.jar"};
    variables[L"%NOTHING%"] = L"";
    EXPECT_EQ(compose(L";\\a.jar;;%NOTHING%;C:\\b.jar;"), L"C:\\App\\a.jar;C:\\b.jar");
    EXPECT_EQ(searches.size(), 1u);
}

TEST_F(ClassPathComposition, ExpansionsHoldingSeparatorsLeaveNoEmptyElement) {
    variables[L"%LIST%"] = L"D:\\a.jar;;D:\\b.jar;";
    variables[L"%SEPARATORS%"] = L";;";
    EXPECT_EQ(compose(L"%LIST%;%SEPARATORS%;C:\\c.jar"), L"D:\\a.jar;D:\\b.jar;C:\\c.jar");
}

TEST_F(ClassPathComposition, AnExplicitDotIsTheCurrentFolder) {
    variables[L"%HERE%"] = L".";
    EXPECT_EQ(compose(L".;C:\\b.jar;%HERE%"), L".;C:\\b.jar;.");
    EXPECT_TRUE(searches.empty());
}

TEST_F(ClassPathComposition, ExpandsEachElementBeforeDeciding) {
    variables[L"%LIBS%\\*.jar"] = L"E:\\libs\\*.jar";
    variables[L"%JAR%"] = L"E:\\one.jar";
    files[L"E:\\libs\\*.jar"] = {L"z.jar"};
    EXPECT_EQ(compose(L"%LIBS%\\*.jar;%JAR%"), L"E:\\libs\\z.jar;E:\\one.jar");
}

TEST_F(ClassPathComposition, EmbeddedJarComesFirst) {
    EXPECT_EQ(compose(L"", true), L"C:\\App\\app.exe");
    EXPECT_EQ(compose(L"C:\\b.jar", true), L"C:\\App\\app.exe;C:\\b.jar");
    EXPECT_EQ(compose(L"", false), L"");
}

TEST(ClassPathElement, SearchPatternAndPrefix) {
    struct Case {
        std::wstring element, pattern, prefix;
    };
    const std::vector<Case> cases = {
        {L"\\lib\\*.jar", L"C:\\App\\lib\\*.jar", L"C:\\App\\lib\\"},
        {L"\\a.jar", L"C:\\App\\a.jar", L"C:\\App\\"},
        {L"a.jar", L"C:\\Appa.jar", L"C:\\App"},
        {L"D:\\l\\*.jar", L"D:\\l\\*.jar", L"D:\\l\\"},
        {L"D:*.jar", L"D:*.jar", L""},
    };
    for (const auto& c : cases) {
        const auto search = jvm::classPathSearchFor(c.element, kModule);
        EXPECT_EQ(search.pattern, c.pattern);
        EXPECT_EQ(search.prefix, c.prefix);
    }
}

TEST(ClassPathText, WithoutEmptyElements) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"", L""},       {L";", L""},      {L";;;", L""},     {L"a", L"a"},
        {L"a;", L"a"},    {L";a", L"a"},    {L"a;;b", L"a;b"}, {L";;a;;;b;;", L"a;b"},
        {L".;a", L".;a"}, {L" ;a", L" ;a"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(jvm::withoutEmptyElements(text), expected) << text;
    }
}

TEST(LongPathSearchPattern, PrefixesOnlyLongPatterns) {
    const std::wstring folder = L"C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(jvm::longPathSearchPattern(L"C:\\lib\\*.jar"), L"C:\\lib\\*.jar");
    EXPECT_EQ(jvm::longPathSearchPattern(folder + L"\\*.jar"), L"\\\\?\\" + folder + L"\\*.jar");
    const std::wstring unc = L"\\\\srv\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(jvm::longPathSearchPattern(unc),
              L"\\\\?\\UNC\\srv\\share\\" + std::wstring(300, L'b'));
    const std::wstring prefixed = L"\\\\?\\" + folder;
    EXPECT_EQ(jvm::longPathSearchPattern(prefixed), prefixed);
}

}  // namespace

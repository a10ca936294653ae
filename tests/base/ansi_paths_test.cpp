#include "base/ansi_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace base {
namespace {

// A Western code page: everything up to U+00FF is representable.
bool western(std::wstring_view text) {
    for (const wchar_t c : text) {
        if (c > 0xFF) return false;
    }
    return true;
}

class AnsiPathsTest : public ::testing::Test {
  protected:
    PathFallback convert(std::wstring_view option) {
        const AnsiPathServices services{
            western,
            [this](const std::wstring& path) {
                const auto found = shortForms.find(path);
                return found == shortForms.end() ? std::wstring() : found->second;
            },
            [this](const std::wstring& path) { return existing.count(path) > 0; }};
        return withRepresentablePaths(option, services);
    }

    std::map<std::wstring, std::wstring> shortForms{
        {L"C:\\Users\\\u03a3\u03bf\u03c6\u03af\u03b1\\App\\lib\\app.jar",
         L"C:\\Users\\SOFA~1\\App\\lib\\app.jar"},
        {L"C:\\\u4e2d\u6587\\bin", L"C:\\4E2D~1\\bin"},
        {L"C:\\\u4e2d\u6587\\odd", L"C:\\\u4e2d\u6587\\odd"},  // a short form that does not help
    };
    std::set<std::wstring> existing{L"C:\\Users\\\u03a3\u03bf\u03c6\u03af\u03b1\\App\\lib\\app.jar",
                                    L"C:\\\u4e2d\u6587\\bin", L"C:\\\u4e2d\u6587\\odd",
                                    L"C:\\\u0393\\no-short-name"};
};

TEST_F(AnsiPathsTest, PathsOutsideTheCodePageTakeTheirShortForm) {
    struct Case {
        const wchar_t* option;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"-Djava.class.path=C:\\Users\\\u03a3\u03bf\u03c6\u03af\u03b1\\App\\lib\\app.jar;",
         L"-Djava.class.path=C:\\Users\\SOFA~1\\App\\lib\\app.jar;"},
        {L"-Djava.library.path=C:\\plain;C:\\\u4e2d\u6587\\bin;.",
         L"-Djava.library.path=C:\\plain;C:\\4E2D~1\\bin;."},
        {L"-Xbootclasspath/a:C:\\\u4e2d\u6587\\bin", L"-Xbootclasspath/a:C:\\4E2D~1\\bin"},
        // Representable text is never touched, whatever it looks like.
        {L"-Dp=C:\\caf\u00e9;;x", L"-Dp=C:\\caf\u00e9;;x"},
        // Not a path that exists: no spelling would help the JVM, so it stays as it is.
        {L"-Dapp.title=\u0393\u03b5\u03b9\u03ac", L"-Dapp.title=\u0393\u03b5\u03b9\u03ac"},
        {L"-Dx=C:\\\u0394\\missing.jar;C:\\\u4e2d\u6587\\bin",
         L"-Dx=C:\\\u0394\\missing.jar;C:\\4E2D~1\\bin"},
        // No path list at all.
        {L"-\u03a3", L"-\u03a3"},
    };
    for (const auto& c : cases) {
        const PathFallback result = convert(c.option);
        EXPECT_EQ(result.option, c.expected);
        EXPECT_TRUE(result.unrepresentedPath.empty());
    }
}

TEST_F(AnsiPathsTest, ExistingPathWithoutAUsableShortFormIsNamed) {
    EXPECT_EQ(convert(L"-Djava.class.path=C:\\a.jar;C:\\\u0393\\no-short-name;").unrepresentedPath,
              L"C:\\\u0393\\no-short-name");
    EXPECT_EQ(convert(L"-Dx=C:\\\u4e2d\u6587\\odd").unrepresentedPath, L"C:\\\u4e2d\u6587\\odd");
    // The other paths still take their short forms.
    EXPECT_EQ(convert(L"-Dx=C:\\\u0393\\no-short-name;C:\\\u4e2d\u6587\\bin").option,
              L"-Dx=C:\\\u0393\\no-short-name;C:\\4E2D~1\\bin");
}

TEST(PathListStart, AfterTheFirstEqualsSignOrElseTheFirstColon) {
    EXPECT_EQ(pathListStart(L"-Dname=C:\\x"), 7u);
    EXPECT_EQ(pathListStart(L"-XX:HeapDumpPath=C:\\x"), 17u);
    EXPECT_EQ(pathListStart(L"-javaagent:C:\\a.jar"), 11u);
    EXPECT_EQ(pathListStart(L"-ea"), std::wstring_view::npos);
}

}  // namespace
}  // namespace base

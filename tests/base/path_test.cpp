#include "base/path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace base {
namespace {

struct PlanCase {
    const char* name;
    std::wstring filePath;
    std::wstring root;
    std::vector<std::wstring> folders;
    bool unc;
};

std::ostream& operator<<(std::ostream& os, const PlanCase& c) { return os << c.name; }

class PlanParentFoldersTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanParentFoldersTest, Plans) {
    const auto& c = GetParam();
    const ParentFolderPlan plan = planParentFolders(c.filePath);
    EXPECT_EQ(plan.root, c.root);
    EXPECT_EQ(plan.folders, c.folders);
    EXPECT_EQ(plan.unc, c.unc);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanParentFoldersTest,
    ::testing::Values(
        PlanCase{"drive path", L"C:\\logs\\app\\out.log", L"C:", {L"logs", L"app"}, false},
        PlanCase{"file in drive root", L"C:\\out.log", L"C:", {}, false},
        PlanCase{"relative path takes first folder as root",
                 L"logs\\sub\\out.log",
                 L"logs",
                 {L"sub"},
                 false},
        PlanCase{"unc path",
                 L"\\\\server\\share\\dir\\out.log",
                 L"\\\\server",
                 {L"share", L"dir"},
                 true},
        PlanCase{"prefixed path", L"\\\\?\\C:\\a\\b\\f", L"\\\\?\\C:", {L"a", L"b"}, false},
        PlanCase{"empty component kept", L"C:\\a\\\\b\\f", L"C:", {L"a", L"", L"b"}, false},
        PlanCase{"trailing separator names no file", L"C:\\a\\b\\", L"C:", {L"a"}, false},
        PlanCase{"no separator at all", L"out.log", L"out.log", {}, false},
        PlanCase{"empty path", L"", L"", {}, false},
        PlanCase{"only two backslashes", L"\\\\", L"", {}, false},
        PlanCase{"unc server only", L"\\\\server", L"\\\\server", {}, true}));

TEST(LongPathPrefix, AddedFromMaxPathOnOnce) {
    const std::wstring at259 = L"C:\\" + std::wstring(256, L'a');
    ASSERT_EQ(at259.size(), 259u);
    EXPECT_EQ(withLongPathPrefixIfLong(at259), at259);
    const std::wstring at260 = at259 + L"b";
    EXPECT_EQ(withLongPathPrefixIfLong(at260), L"\\\\?\\" + at260);
    const std::wstring prefixed = L"\\\\?\\" + at260;
    EXPECT_EQ(withLongPathPrefixIfLong(prefixed), prefixed);
    EXPECT_TRUE(hasLongPathPrefix(prefixed));
    EXPECT_FALSE(hasLongPathPrefix(L"\\\\.\\C:"));
    EXPECT_FALSE(hasLongPathPrefix(L"\\\\?"));
}

TEST(ExistenceTest, OnlyAbsolutePaths) {
    EXPECT_TRUE(isAbsoluteForExistenceTest(L"C:\\x"));
    EXPECT_TRUE(isAbsoluteForExistenceTest(L"C:"));
    EXPECT_TRUE(isAbsoluteForExistenceTest(L"\\\\server\\share"));
    EXPECT_FALSE(isAbsoluteForExistenceTest(L"logs\\x"));
    EXPECT_FALSE(isAbsoluteForExistenceTest(L"\\x"));
    EXPECT_FALSE(isAbsoluteForExistenceTest(L"C"));
    EXPECT_FALSE(isAbsoluteForExistenceTest(L""));
}

TEST(FolderPathForCreation, PrefixFrom248CharactersForFullPathsOnly) {
    const std::wstring at247 = L"C:\\" + std::wstring(244, L'a');
    ASSERT_EQ(at247.size(), 247u);
    EXPECT_EQ(folderPathForCreation(at247), at247);
    const std::wstring at248 = at247 + L"b";
    EXPECT_EQ(folderPathForCreation(at248), L"\\\\?\\" + at248);
    EXPECT_EQ(folderPathForCreation(L"\\\\?\\" + at248), L"\\\\?\\" + at248);
    const std::wstring unc = L"\\\\server\\share\\" + std::wstring(240, L'u');
    EXPECT_EQ(folderPathForCreation(unc), L"\\\\?\\UNC" + unc.substr(1));
    // A relative path cannot carry the prefix.
    const std::wstring relative = L"logs\\" + std::wstring(250, L'r');
    EXPECT_EQ(folderPathForCreation(relative), relative);
}

// Every cut of a path at its last backslash: the folder (one or more levels up), the folder
// ready for a name, and the file name.
struct CutCase {
    std::wstring path;
    int levels;
    std::wstring folder;
    std::wstring prefix;    // folderPrefixOf(path)
    std::wstring fileName;  // fileNameOf(path)
};

TEST(PathCuts, AtTheLastBackslash) {
    const std::wstring jvm = L"C:\\jre\\bin\\server\\jvm.dll";
    const CutCase cases[] = {
        {jvm, 1, L"C:\\jre\\bin\\server", L"C:\\jre\\bin\\server\\", L"jvm.dll"},
        {jvm, 2, L"C:\\jre\\bin", L"C:\\jre\\bin\\server\\", L"jvm.dll"},
        {jvm, 3, L"C:\\jre", L"C:\\jre\\bin\\server\\", L"jvm.dll"},
        {jvm, 0, jvm, L"C:\\jre\\bin\\server\\", L"jvm.dll"},
        // More levels than the path has stop at its first component.
        {L"C:\\jvm.dll", 3, L"C:", L"C:\\", L"jvm.dll"},
        {L"jvm.dll", 2, L"jvm.dll", L"", L"jvm.dll"},
        {L"\\App.exe", 1, L"", L"\\", L"App.exe"},
        {L"C:\\Apps\\", 1, L"C:\\Apps", L"C:\\Apps\\", L""},
        {L"\\\\server\\share\\App.exe", 2, L"\\\\server", L"\\\\server\\share\\", L"App.exe"},
        {L"", 1, L"", L"", L""},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << " (" << c.levels << " levels)");
        EXPECT_EQ(folderOf(c.path, c.levels), c.folder);
        EXPECT_EQ(folderPrefixOf(c.path), c.prefix);
        EXPECT_EQ(fileNameOf(c.path), c.fileName);
    }
}

TEST(JoinPath, OneBackslashBetweenFolderAndName) {
    EXPECT_EQ(joinPath(L"C:\\Windows\\system32", L"gdiplus.dll"),
              L"C:\\Windows\\system32\\gdiplus.dll");
    EXPECT_EQ(joinPath(L"C:\\", L"gdiplus.dll"), L"C:\\gdiplus.dll");
    EXPECT_EQ(joinPath(L"", L"gdiplus.dll"), L"gdiplus.dll");
}

}  // namespace
}  // namespace base

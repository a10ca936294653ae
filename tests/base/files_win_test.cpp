#include <windows.h>

#include "base/files_win.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/settings/temp_folder_win.h"

namespace base {
namespace {

using testing_support::isFolder;
using testing_support::ScopedEnvironmentVariable;
using testing_support::TempFolder;
using testing_support::writeFileBytes;

class CreateParentFoldersTest : public ::testing::Test {
  protected:
    TempFolder folder;
};

TEST_F(CreateParentFoldersTest, CreatesEveryMissingFolderButNotTheFile) {
    const std::wstring file = folder / L"logs\\app\\out.log";
    EXPECT_EQ(createParentFolders(file), 0u);
    EXPECT_TRUE(isFolder(folder / L"logs"));
    EXPECT_TRUE(isFolder(folder / L"logs\\app"));
    EXPECT_FALSE(pathExists(file));
    // Everything there already: still success.
    EXPECT_EQ(createParentFolders(file), 0u);
}

TEST_F(CreateParentFoldersTest, ExistingFileNeedsNothing) {
    const std::wstring file = folder / L"present.log";
    writeFileBytes(file, "x");
    EXPECT_EQ(createParentFolders(file), 0u);
}

TEST_F(CreateParentFoldersTest, FileInExistingFolderCreatesNothing) {
    EXPECT_EQ(createParentFolders(folder / L"out.log"), 0u);
    EXPECT_FALSE(pathExists(folder / L"out.log"));
}

TEST_F(CreateParentFoldersTest, StopsWhereAFileBlocksTheWay) {
    // A file of the folder's name reads as "already exists"; the level under it then fails.
    writeFileBytes(folder / L"blocker", "x");
    EXPECT_NE(createParentFolders(folder / L"blocker\\deeper\\out.log"), 0u);
    EXPECT_TRUE(pathExists(folder / L"blocker"));
    EXPECT_FALSE(isFolder(folder / L"blocker"));
}

TEST_F(CreateParentFoldersTest, FailureRemovesTheEmptyLevelAbove) {
    // "made" is created, the over-long name under it cannot be: "made" is removed again.
    const std::wstring tooLong(300, L'n');
    EXPECT_NE(createParentFolders(folder / (L"made\\" + tooLong + L"\\out.log")), 0u);
    EXPECT_FALSE(pathExists(folder / L"made"));
}

TEST_F(CreateParentFoldersTest, EmptyComponentIsPassedOver) {
    EXPECT_EQ(createParentFolders(folder / L"a\\\\b\\out.log"), 0u);
    EXPECT_TRUE(isFolder(folder / L"a\\b"));
}

TEST_F(CreateParentFoldersTest, PrefixedPath) {
    const std::wstring file = L"\\\\?\\" + (folder / L"p\\q\\out.log");
    EXPECT_EQ(createParentFolders(file), 0u);
    EXPECT_TRUE(isFolder(folder / L"p\\q"));
}

TEST(PathExists, FindsFoldersAndFiles) {
    TempFolder folder;
    EXPECT_TRUE(pathExists(folder.path()));
    EXPECT_FALSE(pathExists(folder / L"missing"));
    writeFileBytes(folder / L"f.ini", "");
    EXPECT_TRUE(pathExists(folder / L"f.ini"));
}

TEST(RemoveFolder, OnlyEmptyFolders) {
    TempFolder folder;
    ASSERT_TRUE(CreateDirectoryW((folder / L"d").c_str(), nullptr));
    writeFileBytes(folder / L"d\\f", "x");
    EXPECT_FALSE(removeFolder(folder / L"d"));
    DeleteFileW((folder / L"d\\f").c_str());
    EXPECT_TRUE(removeFolder(folder / L"d"));
    EXPECT_FALSE(isFolder(folder / L"d"));
}

TEST(EnvironmentVariable, ReadsLongValuesWholeAndUnsetAsEmpty) {
    const std::wstring longValue(5000, L'e');
    {
        ScopedEnvironmentVariable variable(L"SETTINGS_TEST_VARIABLE", longValue);
        EXPECT_EQ(environmentVariable(L"SETTINGS_TEST_VARIABLE"), longValue);
    }
    EXPECT_EQ(environmentVariable(L"SETTINGS_TEST_VARIABLE"), L"");
    for (const size_t length : {size_t{259}, size_t{260}, size_t{261}}) {
        ScopedEnvironmentVariable variable(L"SETTINGS_TEST_VARIABLE", std::wstring(length, L'x'));
        EXPECT_EQ(environmentVariable(L"SETTINGS_TEST_VARIABLE").size(), length);
    }
}

}  // namespace
}  // namespace base

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "jvm/native_paths.h"

namespace {

constexpr std::wstring_view kJvm = L"C:\\jre\\bin\\server\\jvm.dll";

TEST(JreHomeFolder, KeepsTheTrailingBackslash) {
    EXPECT_EQ(jvm::jreHomeFolder(kJvm), L"C:\\jre\\");
    EXPECT_EQ(jvm::jreHomeFolder(L"server\\jvm.dll"), L"");
    EXPECT_EQ(jvm::jreHomeFolder(L"jvm.dll"), L"");
}

class LibraryPath : public testing::Test {
  protected:
    std::wstring compose(std::wstring_view libraryPath) {
        return jvm::composeLibraryPath(libraryPath, L"C:\\App\\", kJvm,
                                       [this](const std::wstring& text) {
                                           expanded.push_back(text);
                                           std::wstring result = text;
                                           const auto at = result.find(L"%Path%");
                                           if (at != std::wstring::npos) {
                                               result.replace(at, 6, path);
                                           }
                                           return result;
                                       });
    }
    std::wstring path = L"C:\\Windows";
    std::vector<std::wstring> expanded;
};

TEST_F(LibraryPath, JoinsEveryPieceWithOneSeparator) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"D:\\native", L"D:\\native;C:\\App\\;.;C:\\Windows;C:\\jre\\lib"},
        {L"D:\\native;", L"D:\\native;C:\\App\\;.;C:\\Windows;C:\\jre\\lib"},
    };
    for (const auto& [setting, expected] : cases) EXPECT_EQ(compose(setting), expected);

    path = L"C:\\Windows;";
    EXPECT_EQ(compose(L"D:\\n"), L"D:\\n;C:\\App\\;.;C:\\Windows;C:\\jre\\lib");
}

TEST_F(LibraryPath, ExpandsTheSettingAndThePath) {
    (void)compose(L"%NATIVE%");
    ASSERT_EQ(expanded.size(), 2u);
    EXPECT_EQ(expanded[0], L"%NATIVE%;C:\\App\\;.;%Path%");
    EXPECT_EQ(expanded[1], L"C:\\jre\\lib");
}

TEST(SearchPathTemplate, PutsTheSystemPathFirstAndTheBinFolderLast) {
    EXPECT_EQ(jvm::searchPathTemplate(L"C:\\a", kJvm), L"C:\\a;%Path%;C:\\jre\\bin");
    EXPECT_EQ(jvm::searchPathTemplate(L"C:\\a;", kJvm), L"C:\\a;%Path%;C:\\jre\\bin");
    EXPECT_EQ(jvm::searchPathTemplate(L"", kJvm), L"%Path%;C:\\jre\\bin");
}

}  // namespace

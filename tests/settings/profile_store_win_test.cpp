#include <windows.h>

#include "settings/profile_store_win.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/settings/temp_folder_win.h"

namespace settings {
namespace {

using testing_support::TempFolder;
using testing_support::utf16leBytes;
using testing_support::writeFileBytes;

class ProfileStoreTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::wstring file = folder / L"App.ini";
};

TEST_F(ProfileStoreTest, ReadsLongValuesWhole) {
    for (const size_t length :
         {size_t{254}, size_t{255}, size_t{256}, size_t{511}, size_t{600}, size_t{5000}}) {
        SCOPED_TRACE(length);
        const std::wstring value(length, L'v');
        ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"k", value.c_str(), file.c_str()));
        EXPECT_EQ(ProfileStore(file).read(L"A", L"k"), value);
    }
}

TEST_F(ProfileStoreTest, ReadsMegabyteLine) {
    std::string text = "[A]\r\nk=";
    text.append(size_t{1} << 20, 'x');
    text += "\r\nj=after\r\n";
    writeFileBytes(file, text);
    ProfileStore store(file);
    EXPECT_EQ(store.read(L"A", L"k").size(), size_t{1} << 20);
    EXPECT_EQ(store.read(L"A", L"j"), L"after");
}

TEST_F(ProfileStoreTest, MissingAnythingReadsEmpty) {
    writeFileBytes(file, "[A]\r\nk=v\r\n");
    std::wstring out = L"stale";
    ProfileStore(file).getString(L"A", L"missing", out);
    EXPECT_EQ(out, L"");
    out = L"stale";
    ProfileStore(file).getString(L"B", L"k", out);
    EXPECT_EQ(out, L"");
    out = L"stale";
    ProfileStore(folder / L"none.ini").getString(L"A", L"k", out);
    EXPECT_EQ(out, L"");
}

TEST_F(ProfileStoreTest, ReadsUtf16FileWithByteOrderMark) {
    writeFileBytes(file, utf16leBytes(L"[A]\r\nk=\x00E9t\x00E9\r\n", true));
    EXPECT_EQ(ProfileStore(file).read(L"A", L"k"), L"\x00E9t\x00E9");
}

TEST_F(ProfileStoreTest, OddFilesNeitherCrashNorHang) {
    std::mt19937 random(7);
    std::string noise(64 * 1024, '\0');
    for (auto& c : noise) c = static_cast<char>(random());
    const std::vector<std::string> contents{
        noise,
        std::string("[A]\r\nk=a\0b\r\n\0\0[B]\r\nj=c\r\n", 20),
        utf16leBytes(L"[A]\r\nk=v\r\n", false),
        std::string("\xFF\xFE", 2),
        std::string(3, '\0'),
    };
    for (const auto& content : contents) {
        writeFileBytes(file, content);
        ProfileStore store(file);
        std::vector<std::wstring> names;
        store.getSectionNames(names);
        for (const auto& name : names) (void)store.read(name, L"k");
        (void)store.read(L"A", L"k");
    }
}

TEST_F(ProfileStoreTest, SectionNamesGrowAndKeepOrder) {
    std::string text;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 120; ++i) {
        text += "[Section number " + std::to_string(i) + "]\r\nk=v\r\n";
        expected.push_back(L"Section number " + std::to_wstring(i));
    }
    writeFileBytes(file, text);
    std::vector<std::wstring> names{L"stale"};
    ProfileStore(file).getSectionNames(names);
    EXPECT_EQ(names, expected);
}

TEST_F(ProfileStoreTest, WritesProbesAndRemoves) {
    ProfileStore store(file);
    std::array<uint8_t, 4> buffer{};
    EXPECT_EQ(store.probe(buffer), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(store.setString(L"A", L"k", L"written"));
    EXPECT_EQ(store.read(L"A", L"k"), L"written");
    EXPECT_EQ(store.probe(buffer), 0u);
    EXPECT_EQ(buffer[0], '[');

    writeFileBytes(file, "ab");
    EXPECT_EQ(store.probe(buffer), 0u);
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{'a', 'b', 0, 0}));

    EXPECT_TRUE(store.remove());
    EXPECT_FALSE(store.remove());
    EXPECT_EQ(store.read(L"A", L"k"), L"");
}

class LayeredStoreTest : public ProfileStoreTest {
  protected:
    const std::wstring baseText = L"[A]\r\nk=   v   \r\nonly=base\r\n";
    std::wstring readAk(const std::string& fileText) {
        writeFileBytes(file, fileText);
        return LayeredStore(file, baseText).read(L"A", L"k");
    }
};

TEST_F(LayeredStoreTest, FileOverBaseText) {
    EXPECT_EQ(readAk("[Other]\r\nk=x\r\n"), L"v");
    EXPECT_EQ(readAk("[A+]\r\nk=-x\r\n"), L"v -x");
    EXPECT_EQ(readAk("[A]\r\nk=w\r\n[A+]\r\nk=-x\r\n"), L"w");
    EXPECT_EQ(readAk("[A]\r\nk=\r\n[A+]\r\nk=-x\r\n"), L"v -x");
}

TEST_F(LayeredStoreTest, ExtensionWithoutBaseValue) {
    writeFileBytes(file, "[B+]\r\nk=x\r\n");
    EXPECT_EQ(LayeredStore(file, baseText).read(L"B", L"k"), L" x");
    EXPECT_EQ(LayeredStore(folder / L"none.ini", baseText).read(L"A", L"only"), L"base");
}

TEST_F(LayeredStoreTest, LoadBaseReplacesLayerAndOtherOperationsUseTheFile) {
    writeFileBytes(file, "[F]\r\nk=1\r\n");
    LayeredStore store(file, baseText);
    store.loadBase(L"[A]\r\nk=new");
    EXPECT_EQ(store.read(L"A", L"k"), L"new");
    EXPECT_EQ(store.read(L"A", L"only"), L"");
    std::vector<std::wstring> names;
    store.getSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"F"}));
}

}  // namespace
}  // namespace settings

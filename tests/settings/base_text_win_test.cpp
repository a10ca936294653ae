#include <windows.h>

#include "settings/base_text_win.h"

#include <gtest/gtest.h>

#include "settings/profile_store_win.h"

namespace settings {
namespace {

// The test executable carries the resources of base_text_win_test.rc.
constexpr wchar_t kUpgradeCode[] = L"{0D2C1B47-9A3E-4F21-8C55-6B7E2F9A1D30}";

TEST(BaseSettingsText, LoadsResourceNamedAfterUpgradeCode) {
    const std::wstring text = loadBaseSettingsText(kUpgradeCode);
    EXPECT_EQ(text, L"[Java Runtime Environment]\r\nVirtual Machine Parameters=  -Xmx64m  \r\n");
}

TEST(BaseSettingsText, NameMatchesIgnoringCase) {
    EXPECT_EQ(loadBaseSettingsText(L"{0d2c1b47-9a3e-4f21-8c55-6b7e2f9a1d30}"),
              loadBaseSettingsText(kUpgradeCode));
}

TEST(BaseSettingsText, MissingGivesEmptyText) {
    EXPECT_EQ(loadBaseSettingsText(L""), L"");
    EXPECT_EQ(loadBaseSettingsText(L"{00000000-0000-0000-0000-000000000000}"), L"");
    EXPECT_EQ(loadBaseSettingsText(L"#1"), L"");
}

TEST(BaseSettingsText, OddByteCountDropsLastByte) {
    EXPECT_EQ(loadBaseSettingsText(L"OddSize"), L"[A]");
}

TEST(BaseSettingsText, FeedsTheBaseLayer) {
    LayeredStore store(L"C:\\does-not-exist\\App.ini", loadBaseSettingsText(kUpgradeCode));
    EXPECT_EQ(store.read(L"Java Runtime Environment", L"Virtual Machine Parameters"), L"-Xmx64m");
}

}  // namespace
}  // namespace settings

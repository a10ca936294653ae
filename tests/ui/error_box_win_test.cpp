#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/ui/gui_test_support_win.h"
#include "tests/ui/test_resource_ids.h"
#include "ui/error_box_win.h"

namespace ui {
namespace {

std::wstring expectedLongMessage() {
    std::wstring text = L"Long message ";
    for (int i = 0; i < IDS_TEST_LONG_MESSAGE_REPEATS; ++i) text += L"0123456789";
    return text + L" end.";
}

TEST(LoadResourceString, LoadsTextsLongerThanTheFirstBuffer) {
    const std::wstring expected = expectedLongMessage();
    ASSERT_GT(expected.size(), 512u);
    EXPECT_EQ(loadResourceString(IDS_TEST_LONG_MESSAGE), expected);
}

TEST(LoadResourceString, LauncherMessagesKeepTheirLineFeedsAndSpaces) {
    struct Case {
        UINT id;
        const wchar_t* text;
    };
    const std::vector<Case> cases = {
        {IDS_WINDOWS_EXCEPTION, L"Windows exception: %s (errno = %d).\n"},
        {IDS_JNI_EXCEPTION, L"JNI exception: %s\nReason: %s.\n"},
        {IDS_JRE_NOT_FOUND_SERVER,
         L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
         L"with a server JVM (%s) from:"},
        {IDS_BROWSE_FOR_JRE, L"Browse for JRE folder"},
        {IDS_VERSION_RANGE, L"version between %s and %s"},
        {IDS_JNI_EINVAL, L"invalid arguments"},
    };
    for (const Case& c : cases) EXPECT_EQ(loadResourceString(c.id), c.text) << c.id;
}

TEST(LoadResourceString, MissingIdGivesEmptyText) {
    EXPECT_EQ(loadResourceString(204), L"");
    EXPECT_EQ(loadResourceString(65000), L"");
}

TEST(MessageText, LiteralOrStringTable) {
    EXPECT_EQ(messageText(std::wstring_view(L"literal")), L"literal");
    EXPECT_EQ(messageText(IDS_JNI_ERR), L"unknown");
}

// What a message box showed; read by a second thread, which then presses OK.
struct ShownBox {
    std::wstring text;
    std::wstring caption;
    HWND owner = nullptr;
    bool hasErrorIcon = false;
    int result = 0;
};

ShownBox showAndRead(const std::function<int()>& show) {
    ShownBox shown;
    shown.result = testing::runWithDriver(show, [&shown](DWORD thread) {
        HWND box = testing::waitForThreadWindow(thread, L"#32770");
        if (box == nullptr) return;
        shown.text = testing::windowText(GetDlgItem(box, 0xFFFF));
        shown.caption = testing::windowText(box);
        shown.owner = GetWindow(box, GW_OWNER);
        // The box's icon is a static control showing an icon.
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                SendMessageW(child, STM_GETICON, 0, 0) != 0) {
                shown.hasErrorIcon = true;
            }
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    return shown;
}

TEST(ShowErrorBox, ShowsAStringTableTextOfAnyLength) {
    const ShownBox shown = showAndRead([] { return showErrorBox(nullptr, IDS_TEST_LONG_MESSAGE); });
    EXPECT_EQ(shown.text, expectedLongMessage());
    EXPECT_EQ(shown.result, IDOK);
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_TRUE(shown.hasErrorIcon);
    EXPECT_FALSE(shown.caption.empty());  // the system's default caption
}

TEST(ShowErrorBox, FormatsWithOneAndTwoArguments) {
    ShownBox shown = showAndRead([] {
        return showErrorBox(nullptr, IDS_WINDOWS_EXCEPTION, messageText(IDS_NO_MODULE_PATH), 5);
    });
    EXPECT_EQ(shown.text, L"Windows exception: failed to get the module path (errno = 5).\n");

    shown = showAndRead([] {
        return showErrorBox(nullptr, IDS_MAIN_CLASS_NOT_FOUND, std::wstring_view(L"com/x/Main"));
    });
    EXPECT_EQ(shown.text, L"Could not find the main class com/x/Main.\n");

    shown =
        showAndRead([] { return showErrorBox(nullptr, std::wstring_view(L"literal %d%%"), -3); });
    EXPECT_EQ(shown.text, L"literal -3%");
    EXPECT_EQ(shown.result, IDOK);
}

}  // namespace
}  // namespace ui

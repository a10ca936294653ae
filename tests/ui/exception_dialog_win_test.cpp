#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "resources/resource_ids.h"
#include "tests/ui/gui_test_support_win.h"
#include "ui/dialog_resize_win.h"
#include "ui/exception_dialog_win.h"

namespace ui {
namespace {

std::wstring sampleTrace(int frames) {
    std::wstring trace = L"java.lang.RuntimeException: boom \u00e4\u00df\u20ac\r\n";
    for (int i = 0; i < frames; ++i) {
        trace += L"\tat com.example.Main.level" + std::to_wstring(i) + L"(Main.java:" +
                 std::to_wstring(10 + i) + L")\r\n";
    }
    return trace;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT shifted(RECT r, int left, int top, int right, int bottom) {
    return {r.left + left, r.top + top, r.right + right, r.bottom + bottom};
}

// Everything the driver thread sees of the open dialog.
struct Observed {
    bool found = false;
    std::wstring title;
    std::wstring editText;
    bool readOnly = false;
    int lineCount = 0;
    RECT window{};
    RECT workArea{};
    std::map<int, RECT> before;
    std::map<int, RECT> after;
    RECT windowAfter{};
    POINT minimumTrackSize{};
    bool gripVisibleBefore = false;
    bool gripHiddenWhenMaximised = false;
    bool gripShownWhenRestored = false;
    bool groupBoxTransparent = false;
};

constexpr int kControls[] = {IDOK,
                             IDCANCEL,
                             IDC_EXCEPTION_GROUP,
                             IDC_ERROR_ICON,
                             IDC_EXCEPTION_HEADING,
                             IDC_EXCEPTION_TEXT,
                             IDC_EXCEPTION_INSTRUCTION,
                             IDC_EXCEPTION_WARNING,
                             DialogResize::kSizeGripId};

std::map<int, RECT> controlRects(HWND dialog) {
    std::map<int, RECT> rects;
    for (int id : kControls) {
        if (HWND control = GetDlgItem(dialog, id); control != nullptr) {
            rects[id] = testing::clientRectOf(control);
        }
    }
    return rects;
}

TEST(ExceptionDialog, ShowsTheTraceAndLaysOutItsControlsWhenResized) {
    const std::wstring trace = sampleTrace(60);
    Observed seen;
    const int result = testing::runWithDriver(
        [&] { return static_cast<int>(ExceptionDialog(trace).run(nullptr)); },
        [&](DWORD thread) {
            HWND dialog = testing::waitForThreadWindow(thread, L"#32770");
            if (dialog == nullptr) return;
            seen.found = true;
            seen.title = testing::windowText(dialog);
            HWND edit = GetDlgItem(dialog, IDC_EXCEPTION_TEXT);
            seen.editText = testing::windowText(edit);
            seen.readOnly = (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0;
            seen.lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
            GetWindowRect(dialog, &seen.window);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof(monitor);
            GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
            seen.workArea = monitor.rcWork;
            HWND grip = GetDlgItem(dialog, DialogResize::kSizeGripId);
            seen.gripVisibleBefore = grip != nullptr && IsWindowVisible(grip);
            seen.before = controlRects(dialog);
            seen.groupBoxTransparent =
                (GetWindowLongPtrW(GetDlgItem(dialog, IDC_EXCEPTION_GROUP), GWL_EXSTYLE) &
                 WS_EX_TRANSPARENT) != 0;

            const int width = seen.window.right - seen.window.left;
            const int height = seen.window.bottom - seen.window.top;
            SetWindowPos(dialog, nullptr, 0, 0, width + 100, height + 50,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            seen.after = controlRects(dialog);
            GetWindowRect(dialog, &seen.windowAfter);

            MINMAXINFO limits{};
            SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
            seen.minimumTrackSize = limits.ptMinTrackSize;

            ShowWindow(dialog, SW_MAXIMIZE);
            seen.gripHiddenWhenMaximised = grip != nullptr && !IsWindowVisible(grip);
            ShowWindow(dialog, SW_RESTORE);
            seen.gripShownWhenRestored = grip != nullptr && IsWindowVisible(grip);

            PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, IDCANCEL) << "Esc ends the dialog as Stop";
    EXPECT_EQ(seen.title, L"Java Exception");
    EXPECT_EQ(seen.editText, trace);
    EXPECT_TRUE(seen.readOnly);
    EXPECT_GE(seen.lineCount, 60);

    // Centred on the work area.
    const int width = seen.window.right - seen.window.left;
    const int height = seen.window.bottom - seen.window.top;
    EXPECT_EQ(seen.window.left, (seen.workArea.left + seen.workArea.right) / 2 - width / 2);
    EXPECT_EQ(seen.window.top, (seen.workArea.top + seen.workArea.bottom) / 2 - height / 2);

    EXPECT_EQ(seen.windowAfter.right - seen.windowAfter.left, width + 100);
    EXPECT_EQ(seen.windowAfter.bottom - seen.windowAfter.top, height + 50);
    ASSERT_EQ(seen.before.size(), std::size(kControls));
    ASSERT_EQ(seen.after.size(), std::size(kControls));
    struct Expectation {
        int id;
        int left, top, right, bottom;
    };
    const Expectation expectations[] = {
        {IDC_EXCEPTION_GROUP, 0, 0, 100, 50},
        {IDC_EXCEPTION_HEADING, 0, 0, 100, 0},
        {IDC_EXCEPTION_WARNING, 0, 50, 100, 50},
        {IDC_EXCEPTION_INSTRUCTION, 0, 50, 100, 50},
        {IDC_EXCEPTION_TEXT, 0, 0, 100, 50},
        {IDOK, 100, 50, 100, 50},
        {IDCANCEL, 100, 50, 100, 50},
        {IDC_ERROR_ICON, 0, 0, 0, 0},
        {DialogResize::kSizeGripId, 100, 50, 100, 50},
    };
    for (const Expectation& e : expectations) {
        const RECT expected = shifted(seen.before[e.id], e.left, e.top, e.right, e.bottom);
        EXPECT_TRUE(seen.after[e.id] == expected)
            << "control " << e.id << ": got " << seen.after[e.id].left << ","
            << seen.after[e.id].top << "," << seen.after[e.id].right << ","
            << seen.after[e.id].bottom << " expected " << expected.left << "," << expected.top
            << "," << expected.right << "," << expected.bottom;
    }

    EXPECT_EQ(seen.minimumTrackSize.x, width);
    EXPECT_EQ(seen.minimumTrackSize.y, height);
    EXPECT_TRUE(seen.gripVisibleBefore);
    EXPECT_TRUE(seen.gripHiddenWhenMaximised);
    EXPECT_TRUE(seen.gripShownWhenRestored);
    // Otherwise the clipped dialog never paints the group box's interior.
    EXPECT_TRUE(seen.groupBoxTransparent);
}

TEST(ExceptionDialog, GripSitsInTheBottomRightCorner) {
    RECT client{};
    RECT grip{};
    testing::runWithDriver(
        [] { return static_cast<int>(ExceptionDialog(L"x").run(nullptr)); },
        [&](DWORD thread) {
            HWND dialog = testing::waitForThreadWindow(thread, L"#32770");
            if (dialog == nullptr) return;
            GetClientRect(dialog, &client);
            grip = testing::clientRectOf(GetDlgItem(dialog, DialogResize::kSizeGripId));
            PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        });
    EXPECT_EQ(grip.right, client.right);
    EXPECT_EQ(grip.bottom, client.bottom);
    EXPECT_LT(grip.right - grip.left, 40);
    EXPECT_GT(grip.right - grip.left, 0);
}

// Ends the dialog the way `press` does and returns what showExceptionDialog answered.
bool answerFor(void (*press)(HWND dialog)) {
    bool stop = false;
    bool found = false;
    testing::runWithDriver(
        [&] {
            stop = showExceptionDialog(L"java.lang.Error\n\tat Main.main(Main.java)\n");
            return 0;
        },
        [&](DWORD thread) {
            HWND dialog = testing::waitForThreadWindow(thread, L"#32770");
            found = dialog != nullptr;
            if (found) press(dialog);
        });
    EXPECT_TRUE(found);
    return stop;
}

TEST(ShowExceptionDialog, IgnoreContinuesEverythingElseStops) {
    EXPECT_FALSE(answerFor([](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    })) << "Ignore";
    EXPECT_TRUE(answerFor([](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    })) << "Stop";
    EXPECT_TRUE(answerFor([](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }))
        << "close box";
}

TEST(ShowExceptionDialog, EmptyTextShowsNothing) { EXPECT_FALSE(showExceptionDialog(L"")); }

TEST(ShowExceptionDialog, LoneLineFeedsBreakLinesInTheEditBox) {
    std::wstring shown;
    testing::runWithDriver([] { return static_cast<int>(ExceptionDialog(L"a\nb\n").run(nullptr)); },
                           [&](DWORD thread) {
                               HWND dialog = testing::waitForThreadWindow(thread, L"#32770");
                               if (dialog == nullptr) return;
                               shown = testing::windowText(GetDlgItem(dialog, IDC_EXCEPTION_TEXT));
                               PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
                           });
    EXPECT_EQ(shown, L"a\r\nb\r\n");
}

}  // namespace
}  // namespace ui

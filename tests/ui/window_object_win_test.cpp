#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "resources/resource_ids.h"
#include "ui/center_window_win.h"
#include "ui/window_class_win.h"
#include "ui/window_object_win.h"

namespace ui {
namespace {

using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

// Records what reaches it and lets each test decide how messages are handled.
template <typename Base>
class Recorder : public Base {
  public:
    bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) override {
        messages.push_back(message);
        if (message == WM_NCCREATE) handleAtCreation = this->handle();
        return handler ? handler(window, message, wParam, lParam, result) : false;
    }
    void onFinalMessage(HWND formerWindow) noexcept override {
        ++finalCalls;
        finalWindow = formerWindow;
        handleAtFinal = this->handle();
    }
    bool saw(UINT message) const {
        for (UINT m : messages) {
            if (m == message) return true;
        }
        return false;
    }

    Handler handler;
    std::vector<UINT> messages;
    HWND handleAtCreation = nullptr;
    HWND handleAtFinal = reinterpret_cast<HWND>(1);
    HWND finalWindow = nullptr;
    int finalCalls = 0;
};

using RecordingWindow = Recorder<WindowObject>;
using RecordingDialog = Recorder<DialogObject>;

WindowClass& testClass() {
    static WindowClass windowClass = [] {
        WindowClass created;
        created.description.lpszClassName = L"UiTestWindow";
        created.description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        created.systemCursor = IDC_ARROW;
        return created;
    }();
    return windowClass;
}

HWND createTestWindow(WindowObject& object, DWORD style = WS_POPUP, HWND owner = nullptr,
                      int width = 200, int height = 100) {
    return createWindowFor(object, 0, registerWindowClass(testClass()), L"test", style, 0, 0, width,
                           height, owner, nullptr);
}

TEST(WindowObject, BindsAtTheFirstMessageAndRoutesToTheHandler) {
    RecordingWindow object;
    object.handler = [](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (message != WM_APP) return false;
        result = static_cast<LRESULT>(wParam + static_cast<WPARAM>(lParam));
        return true;
    };
    HWND window = createTestWindow(object);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(object.handle(), window);
    EXPECT_EQ(object.handleAtCreation, window);
    EXPECT_TRUE(object.saw(WM_NCCREATE));
    EXPECT_TRUE(object.saw(WM_CREATE));

    EXPECT_EQ(SendMessageW(window, WM_APP, 40, 2), 42);
    // Unhandled messages reach DefWindowProcW.
    EXPECT_TRUE(SetWindowTextW(window, L"changed"));
    wchar_t text[32] = {};
    GetWindowTextW(window, text, 32);
    EXPECT_STREQ(text, L"changed");

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(object.finalCalls, 1);
    EXPECT_EQ(object.finalWindow, window);
    EXPECT_EQ(object.handleAtFinal, nullptr);
    EXPECT_EQ(object.handle(), nullptr);
    EXPECT_TRUE(object.saw(WM_NCDESTROY));
}

TEST(WindowObject, DestroyedWhileHandlingIsUnboundOnlyAfterTheOuterMessage) {
    RecordingWindow object;
    HWND handleAfterDestroy = nullptr;
    int finalCallsInside = -1;
    object.handler = [&](HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_APP + 1) return false;
        DestroyWindow(window);
        handleAfterDestroy = object.handle();
        finalCallsInside = object.finalCalls;
        result = 77;
        return true;
    };
    HWND window = createTestWindow(object);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_APP + 1, 0, 0), 77);
    EXPECT_EQ(handleAfterDestroy, window);
    EXPECT_EQ(finalCallsInside, 0);
    EXPECT_EQ(object.finalCalls, 1);
    EXPECT_EQ(object.handle(), nullptr);
    EXPECT_FALSE(IsWindow(window));
}

TEST(WindowObject, ObjectCanBeBoundAgainAfterItsWindowIsGone) {
    RecordingWindow object;
    HWND first = createTestWindow(object);
    ASSERT_NE(first, nullptr);
    DestroyWindow(first);
    HWND second = createTestWindow(object);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(object.handle(), second);
    DestroyWindow(second);
    EXPECT_EQ(object.finalCalls, 2);
}

TEST(WindowObject, BoundObjectIsNotBoundTwice) {
    RecordingWindow object;
    HWND window = createTestWindow(object);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(createTestWindow(object), nullptr);
    EXPECT_EQ(object.handle(), window);
    DestroyWindow(window);
}

TEST(WindowClassRegistration, RegistersOnceAndReusesTheClass) {
    const ATOM atom = registerWindowClass(testClass());
    ASSERT_NE(atom, 0);
    EXPECT_EQ(registerWindowClass(testClass()), atom);
    EXPECT_NE(testClass().description.hCursor, nullptr);
    EXPECT_EQ(testClass().description.hInstance, GetModuleHandleW(nullptr));

    // A second description of the same name finds the registered class.
    WindowClass sameName;
    sameName.description.lpszClassName = L"UiTestWindow";
    EXPECT_EQ(registerWindowClass(sameName), atom);
}

TEST(WindowClassRegistration, ConcurrentRegistrationsAgree) {
    WindowClass shared;
    shared.description.lpszClassName = L"UiTestConcurrentWindow";
    shared.description.style = CS_GLOBALCLASS | CS_HREDRAW;
    std::vector<ATOM> atoms(4);
    std::vector<std::thread> threads;
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    for (auto& atom : atoms) {
        threads.emplace_back([&, slot = &atom] {
            ++ready;
            while (!go) Sleep(1);
            *slot = registerWindowClass(shared);
        });
        // Threads are started one at a time: Wine's 32-bit loader under qemu-user crashes
        // when several threads start at once. They register at the same moment below.
        while (ready < static_cast<int>(threads.size())) Sleep(1);
    }
    go = true;
    for (auto& thread : threads) thread.join();
    ASSERT_NE(atoms[0], 0);
    for (ATOM atom : atoms) EXPECT_EQ(atom, atoms[0]);
    EXPECT_EQ(shared.description.style & CS_GLOBALCLASS, 0u);
}

TEST(WindowObject, WindowCreatedWithoutAnObjectFails) {
    const ATOM atom = registerWindowClass(testClass());
    HWND window = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(window, nullptr);
    if (window != nullptr) DestroyWindow(window);
}

TEST(WindowObject, FailedDialogLeavesNoEntryForALaterWindow) {
    RecordingDialog dialog;
    EXPECT_EQ(runModalDialog(dialog, 999, nullptr), -1);
    EXPECT_EQ(dialog.handle(), nullptr);
    // Had the dialog's entry stayed listed, this window would be bound to the dialog object.
    const ATOM atom = registerWindowClass(testClass());
    HWND window = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(dialog.messages.empty());
    if (window != nullptr) DestroyWindow(window);
}

// Set by the CBT hook below: what another thread got when it created a window of the test
// class, without an object of its own, while this thread's entry was listed.
HWND foreignWindow = nullptr;
bool foreignTried = false;

LRESULT CALLBACK createFromAnotherThread(int code, WPARAM wParam, LPARAM lParam) noexcept {
    // HCBT_CREATEWND comes inside CreateWindowExW before the window's first message, so the
    // creating thread's entry is listed right now.
    if (code == HCBT_CREATEWND && !foreignTried) {
        foreignTried = true;
        std::thread creator([] {
            foreignWindow =
                CreateWindowExW(0, MAKEINTATOM(registerWindowClass(testClass())), L"", WS_POPUP, 0,
                                0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            if (foreignWindow != nullptr) DestroyWindow(foreignWindow);
        });
        creator.join();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(WindowObject, EntriesAreMatchedByThread) {
    RecordingWindow object;
    HHOOK hook = SetWindowsHookExW(WH_CBT, &createFromAnotherThread, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND window = createTestWindow(object);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(foreignTried);
    EXPECT_EQ(foreignWindow, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(object.handle(), window);
    DestroyWindow(window);
}

TEST(Subclassing, RoutesThroughTheObjectBeforeTheControl) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR ownProcedure = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    RecordingWindow object;
    object.handler = [](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_APP) return false;
        result = 5;
        return true;
    };
    ASSERT_TRUE(subclassWindow(object, edit));
    EXPECT_EQ(object.handle(), edit);
    EXPECT_NE(GetWindowLongPtrW(edit, GWLP_WNDPROC), ownProcedure);

    EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 5);
    SetWindowTextW(edit, L"abc");
    EXPECT_TRUE(object.saw(WM_SETTEXT));
    wchar_t text[8] = {};
    GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(text, L"abc");

    RecordingWindow second;
    EXPECT_FALSE(subclassWindow(second, edit));
    EXPECT_EQ(second.handle(), nullptr);

    DestroyWindow(edit);
    EXPECT_EQ(object.finalCalls, 1);
    EXPECT_EQ(object.finalWindow, edit);
    EXPECT_EQ(object.handle(), nullptr);
}

TEST(Subclassing, ObjectGoneBeforeTheControlGivesItsProcedureBack) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR ownProcedure = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        RecordingWindow object;
        ASSERT_TRUE(subclassWindow(object, edit));
    }
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), ownProcedure);
    SetWindowTextW(edit, L"still works");
    EXPECT_EQ(GetWindowTextLengthW(edit), 11);
    DestroyWindow(edit);
}

TEST(Subclassing, NoWindowLeavesTheObjectUnbound) {
    RecordingWindow object;
    EXPECT_FALSE(subclassWindow(object, nullptr));
    EXPECT_EQ(object.handle(), nullptr);
}

TEST(ModalDialog, RoutesResultsAndEndsWithTheEndDialogValue) {
    RecordingDialog dialog;
    LRESULT sentResult = 0;
    HWND handleAtInit = nullptr;
    dialog.handler = [&](HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message == WM_APP) {
            result = 42;  // reaches the sender through DWLP_MSGRESULT
            return true;
        }
        if (message == WM_INITDIALOG) {
            handleAtInit = dialog.handle();
            sentResult = SendMessageW(window, WM_APP, 0, 0);
            EndDialog(window, 7);
            result = 0;
            return true;
        }
        return false;
    };
    EXPECT_EQ(runModalDialog(dialog, IDD_EXCEPTION, nullptr), 7);
    EXPECT_NE(handleAtInit, nullptr);
    EXPECT_EQ(sentResult, 42);
    EXPECT_EQ(dialog.finalCalls, 1);
    EXPECT_EQ(dialog.finalWindow, handleAtInit);
    EXPECT_EQ(dialog.handle(), nullptr);
}

TEST(ModalDialog, HandlerThatThrowsCountsAsNotHandled) {
    RecordingDialog dialog;
    dialog.handler = [](HWND window, UINT message, WPARAM, LPARAM, LRESULT&) -> bool {
        if (message == WM_APP) throw std::runtime_error("handler failed");
        if (message == WM_INITDIALOG) {
            SendMessageW(window, WM_APP, 0, 0);
            EndDialog(window, 3);
        }
        return false;
    };
    EXPECT_EQ(runModalDialog(dialog, IDD_EXCEPTION, nullptr), 3);
}

RECT workAreaNear(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

TEST(CenterWindow, CentresOnTheWorkAreaWithoutAVisibleOwner) {
    RecordingWindow owner;
    HWND ownerWindow = createTestWindow(owner);  // never shown
    ASSERT_NE(ownerWindow, nullptr);
    SetWindowPos(ownerWindow, nullptr, 10, 10, 50, 50, SWP_NOZORDER);
    RecordingWindow object;
    HWND window = createTestWindow(object, WS_POPUP, ownerWindow, 200, 100);
    ASSERT_NE(window, nullptr);
    centerWindow(window);
    const RECT area = workAreaNear(window);
    const RECT placed = windowRect(window);
    EXPECT_EQ(placed.left, (area.left + area.right) / 2 - 100);
    EXPECT_EQ(placed.top, (area.top + area.bottom) / 2 - 50);
    DestroyWindow(window);
    DestroyWindow(ownerWindow);
}

TEST(CenterWindow, CentresOnAVisibleOwner) {
    RecordingWindow owner;
    HWND ownerWindow = createTestWindow(owner);
    ASSERT_NE(ownerWindow, nullptr);
    SetWindowPos(ownerWindow, nullptr, 100, 120, 400, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    RecordingWindow object;
    HWND window = createTestWindow(object, WS_POPUP, ownerWindow, 200, 100);
    ASSERT_NE(window, nullptr);
    centerWindow(window);
    const RECT placed = windowRect(window);
    EXPECT_EQ(placed.left, 200);
    EXPECT_EQ(placed.top, 220);
    DestroyWindow(window);
    DestroyWindow(ownerWindow);
}

TEST(CenterWindow, WindowLargerThanTheWorkAreaGoesToItsLeftAndTop) {
    RecordingWindow object;
    HWND window = createTestWindow(object, WS_POPUP, nullptr, 200, 100);
    ASSERT_NE(window, nullptr);
    const RECT area = workAreaNear(window);
    SetWindowPos(window, nullptr, 0, 0, area.right - area.left + 300, area.bottom - area.top + 200,
                 SWP_NOZORDER | SWP_NOMOVE);
    centerWindow(window);
    const RECT placed = windowRect(window);
    EXPECT_EQ(placed.left, area.left);
    EXPECT_EQ(placed.top, area.top);
    DestroyWindow(window);
}

}  // namespace
}  // namespace ui

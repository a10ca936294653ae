// The own splash's thread in this process: started and ended at any moment, it leaves no window
// and no published handle behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "splash/own_splash_win.h"

namespace splash {
namespace {

// The handle is published as soon as the window exists, a moment before it is shown.
HWND waitForShownWindow(const std::atomic<HWND>& handle) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        HWND window = handle.load();
        if (window != nullptr && IsWindowVisible(window)) return window;
        Sleep(10);
    }
    return nullptr;
}

TEST(OwnSplashScreenTest, MissingImageGivesAVisibleZeroSizeWindowThatGoesWithTheObject) {
    std::atomic<HWND> published = nullptr;
    auto splash = OwnSplashScreen::start(L"Z:\\no\\such\\splash.png", false, published);
    ASSERT_NE(splash, nullptr);
    HWND window = waitForShownWindow(published);
    ASSERT_NE(window, nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
    splash.reset();
    EXPECT_EQ(published.load(), nullptr);
    EXPECT_FALSE(IsWindow(window));
}

TEST(OwnSplashScreenTest, ClosingRightAfterTheStartEndsTheThreadEveryTime) {
    // The first quit message may come before the splash thread has a message queue to take it.
    for (int round = 0; round < 5; ++round) {
        std::atomic<HWND> published = nullptr;
        auto splash =
            OwnSplashScreen::start(L"Z:\\no\\such\\splash.png", round % 2 == 0, published);
        ASSERT_NE(splash, nullptr);
        splash.reset();
        EXPECT_EQ(published.load(), nullptr) << "round " << round;
    }
}

}  // namespace
}  // namespace splash

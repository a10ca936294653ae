// The own splash's thread in this process: ended at any moment, it leaves no published handle.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "splash/own_splash_win.h"

namespace splash {
namespace {

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

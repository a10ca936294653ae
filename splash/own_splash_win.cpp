#include <windows.h>

#include "splash/own_splash_win.h"

#include <utility>

namespace splash {
namespace {

// How long the closing thread waits for the splash thread between two quit messages.
constexpr DWORD kQuitRoundMs = 10;

}  // namespace

OwnSplashScreen::OwnSplashScreen(std::wstring imagePath, bool shadow,
                                 std::atomic<HWND>& publishedHandle)
    : imagePath_(std::move(imagePath)), shadow_(shadow), publishedHandle_(publishedHandle) {}

std::unique_ptr<OwnSplashScreen> OwnSplashScreen::start(std::wstring imagePath, bool shadow,
                                                        std::atomic<HWND>& publishedHandle) {
    std::unique_ptr<OwnSplashScreen> splash(
        new OwnSplashScreen(std::move(imagePath), shadow, publishedHandle));
    splash->thread_.reset(CreateThread(nullptr, 0, &OwnSplashScreen::threadMain, splash.get(), 0,
                                       &splash->threadId_));
    if (!splash->thread_) return nullptr;
    return splash;
}

OwnSplashScreen::~OwnSplashScreen() {
    if (!thread_) return;
    // A thread that has no message queue yet refuses the quit message, so it is posted again
    // each round until the thread has ended; between rounds this thread sleeps in the wait
    // instead of spinning while the splash thread finishes painting.
    do {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    } while (WaitForSingleObject(thread_.get(), kQuitRoundMs) == WAIT_TIMEOUT);
    publishedHandle_.store(nullptr);
}

DWORD WINAPI OwnSplashScreen::threadMain(void* self) noexcept {
    try {
        static_cast<OwnSplashScreen*>(self)->runWindow();
    } catch (...) {
        // Nothing may unwind out of a thread; the launch goes on without a splash.
    }
    return 0;
}

void OwnSplashScreen::runWindow() {
    HWND window = window_.create(imagePath_, shadow_);
    publishedHandle_.store(window);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Error boxes shown from now on must not name a window that is about to go.
    publishedHandle_.store(nullptr);
    if (window != nullptr) DestroyWindow(window);
}

}  // namespace splash

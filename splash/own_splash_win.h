#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/handles_win.h"
#include "splash/splash_window_win.h"

namespace splash {

// The launcher's own splash: a SplashScreenWindow created, shown and served on a thread of its
// own, so it paints while the main thread loads and starts the JVM. It stays up until this
// object is destroyed.
class OwnSplashScreen {
  public:
    // Starts the splash thread for the image. Once the window exists its handle is stored in
    // `publishedHandle`, where every thread reads the owner of its error boxes; it goes back to
    // null before the window is destroyed. Null when the thread cannot be started: nothing is
    // left behind then.
    [[nodiscard]] static std::unique_ptr<OwnSplashScreen> start(std::wstring imagePath, bool shadow,
                                                                std::atomic<HWND>& publishedHandle);

    // Ends the splash thread and waits for it; the window is gone afterwards.
    ~OwnSplashScreen();
    OwnSplashScreen(const OwnSplashScreen&) = delete;
    OwnSplashScreen& operator=(const OwnSplashScreen&) = delete;

  private:
    OwnSplashScreen(std::wstring imagePath, bool shadow, std::atomic<HWND>& publishedHandle);
    static DWORD WINAPI threadMain(void* self) noexcept;
    void runWindow();

    SplashScreenWindow window_;
    const std::wstring imagePath_;
    const bool shadow_;
    std::atomic<HWND>& publishedHandle_;
    base::UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
};

}  // namespace splash

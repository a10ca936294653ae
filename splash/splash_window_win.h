#pragma once

#include <windows.h>

#include <string>

#include "base/handles_win.h"
#include "splash/gdiplus_win.h"
#include "ui/window_object_win.h"

namespace splash {

// The launcher's own splash window: a borderless popup tool window exactly the size of the
// image, centred on the primary screen, painting the image and nothing else. The image is
// decoded once (GDI+) into a screen-compatible bitmap; every paint is then a single BitBlt and
// the background is never erased, so it paints without flicker while the JVM loads.
//
// Made empty on any thread; create, the messages and the window's end all belong to the one
// thread that calls create. GDI+ is started there at first use and, like the bitmap, released
// when the window goes.
class SplashScreenWindow : public ui::WindowObject {
  public:
    SplashScreenWindow() = default;

    // Registers the class, renders the image and creates the window without showing it. An
    // image that is missing or cannot be decoded gives an invisible window of zero size at
    // the screen centre. Null when the class cannot be registered or the window not created.
    HWND create(const std::wstring& imagePath, bool shadow);

    bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) override;
    void onFinalMessage(HWND formerWindow) noexcept override;

  private:
    // Decodes and draws the image into splashBitmap_; leaves it empty (size 0) on failure.
    void render(const std::wstring& imagePath);
    void paint(HWND window);
    void releaseResources() noexcept;

    gdiplus::Session gdiPlus_;
    base::UniqueGdiObject splashBitmap_;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
};

}  // namespace splash

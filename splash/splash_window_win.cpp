#include <windows.h>

#include "splash/splash_window_win.h"

#include "splash/splash_placement.h"
#include "ui/window_class_win.h"

namespace splash {
namespace {

// Keeps an object selected into a device context for its scope; the previous one goes back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The class description lives for the process: a style change made for the one splash window
// stays with it, which is harmless since a process creates at most one.
ui::WindowClass& splashWindowClass() {
    static ui::WindowClass windowClass = [] {
        ui::WindowClass description;
        description.description.style = CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW;
        description.description.hbrBackground =
            reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        description.description.lpszClassName = L"SplashScreenWindow";
        description.systemCursor = IDC_ARROW;
        return description;
    }();
    return windowClass;
}

ATOM registerSplashClass(bool shadow) {
    ui::WindowClass& windowClass = splashWindowClass();
    if (!shadow) windowClass.description.style &= ~static_cast<UINT>(CS_DROPSHADOW);
    ATOM atom = ui::registerWindowClass(windowClass);
    if (atom == 0 && shadow) {
        // Some systems refuse the drop shadow; the splash is then shown without one.
        windowClass.description.style &= ~static_cast<UINT>(CS_DROPSHADOW);
        atom = ui::registerWindowClass(windowClass);
    }
    return atom;
}

}  // namespace

HWND SplashScreenWindow::create(const std::wstring& imagePath, bool shadow) {
    const ATOM atom = registerSplashClass(shadow);
    if (atom == 0) return nullptr;
    render(imagePath);
    const SplashPlacement placement = centredPlacement(
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
        static_cast<std::uint32_t>(bitmapWidth_), static_cast<std::uint32_t>(bitmapHeight_));
    HWND window =
        ui::createWindowFor(*this, WS_EX_TOOLWINDOW, atom, nullptr, WS_POPUP, placement.x,
                            placement.y, placement.width, placement.height, nullptr, nullptr);
    if (window == nullptr) releaseResources();
    return window;
}

void SplashScreenWindow::render(const std::wstring& imagePath) {
    splashBitmap_.reset();
    bitmapWidth_ = 0;
    bitmapHeight_ = 0;
    if (!gdiPlus_.start()) return;
    const gdiplus::Api& gdip = *gdiplus::api();

    gdiplus::UniqueImage image;
    if (gdip.createBitmapFromFile(imagePath.c_str(), image.put()) != gdiplus::kOk) return;
    UINT imageWidth = 0;
    UINT imageHeight = 0;
    if (gdip.getImageWidth(image.get(), &imageWidth) != gdiplus::kOk ||
        gdip.getImageHeight(image.get(), &imageHeight) != gdiplus::kOk) {
        return;
    }
    const int width = windowDimension(imageWidth);
    const int height = windowDimension(imageHeight);
    if (width == 0 || height == 0) return;

    base::UniqueScreenDc screen(GetDC(nullptr));
    if (!screen) return;
    base::UniqueGdiObject bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    base::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!bitmap || !memory) return;
    {
        const SelectedObject selected(memory.get(), bitmap.get());
        gdiplus::UniqueGraphics graphics;
        gdiplus::UniqueImageAttributes attributes;
        if (gdip.createFromHdc(memory.get(), graphics.put()) != gdiplus::kOk ||
            gdip.createImageAttributes(attributes.put()) != gdiplus::kOk) {
            return;
        }
        gdip.setInterpolationMode(graphics.get(), gdiplus::kInterpolationHighQualityBicubic);
        gdip.setImageAttributesWrapMode(attributes.get(), gdiplus::kWrapModeTileFlipXY,
                                        gdiplus::kOpaqueBlack, FALSE);
        // A bitmap the image was not drawn into would show whatever it happened to hold.
        if (gdip.drawImageRectRectI(graphics.get(), image.get(), 0, 0, width, height, 0, 0, width,
                                    height, gdiplus::kUnitPixel, attributes.get(), nullptr,
                                    nullptr) != gdiplus::kOk) {
            return;
        }
    }
    splashBitmap_ = std::move(bitmap);
    bitmapWidth_ = width;
    bitmapHeight_ = height;
}

bool SplashScreenWindow::handleMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_PAINT:
            paint(window);
            result = 0;
            return true;
        case WM_ERASEBKGND:
            // The image covers the whole window; erasing first would only flicker.
            result = 1;
            return true;
        default:
            return false;
    }
}

void SplashScreenWindow::paint(HWND window) {
    PAINTSTRUCT paintStruct{};
    HDC dc = BeginPaint(window, &paintStruct);
    if (dc != nullptr && splashBitmap_) {
        base::UniqueMemoryDc memory(CreateCompatibleDC(dc));
        if (memory) {
            const SelectedObject selected(memory.get(), splashBitmap_.get());
            BitBlt(dc, 0, 0, bitmapWidth_, bitmapHeight_, memory.get(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(window, &paintStruct);
}

void SplashScreenWindow::onFinalMessage(HWND) noexcept { releaseResources(); }

void SplashScreenWindow::releaseResources() noexcept {
    splashBitmap_.reset();
    bitmapWidth_ = 0;
    bitmapHeight_ = 0;
    gdiPlus_.end();
}

}  // namespace splash

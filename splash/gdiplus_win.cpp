#include <windows.h>

#include "splash/gdiplus_win.h"

#include "base/dll_search_win.h"
#include "base/module_win.h"

namespace splash::gdiplus {
namespace {

// Loaded by full path from the system folder, so no copy in the application's or the current
// folder is ever picked up instead.
HMODULE loadFromSystemFolder() noexcept {
    try {
        return base::loadSystemLibrary(L"gdiplus.dll").release();
    } catch (...) {
        return nullptr;
    }
}

template <typename Function>
bool bind(HMODULE library, Function& entry, const char* name) noexcept {
    entry = base::procAddress<Function>(library, name);
    return entry != nullptr;
}

bool bindAll(Api& bound) noexcept {
    // The library stays loaded for the life of the process: objects and the start-up token
    // may outlive any one caller, so its handle has no owner.
    HMODULE library = loadFromSystemFolder();
    if (library == nullptr) return false;
    return bind(library, bound.startup, "GdiplusStartup") &&
           bind(library, bound.shutdown, "GdiplusShutdown") &&
           bind(library, bound.createBitmapFromFile, "GdipCreateBitmapFromFile") &&
           bind(library, bound.getImageWidth, "GdipGetImageWidth") &&
           bind(library, bound.getImageHeight, "GdipGetImageHeight") &&
           bind(library, bound.createFromHdc, "GdipCreateFromHDC") &&
           bind(library, bound.setInterpolationMode, "GdipSetInterpolationMode") &&
           bind(library, bound.createImageAttributes, "GdipCreateImageAttributes") &&
           bind(library, bound.setImageAttributesWrapMode, "GdipSetImageAttributesWrapMode") &&
           bind(library, bound.drawImageRectRectI, "GdipDrawImageRectRectI") &&
           bind(library, bound.disposeImageAttributes, "GdipDisposeImageAttributes") &&
           bind(library, bound.deleteGraphics, "GdipDeleteGraphics") &&
           bind(library, bound.disposeImage, "GdipDisposeImage");
}

Api boundApi{};
bool apiBound = false;

BOOL CALLBACK bindOnce(INIT_ONCE*, void*, void**) noexcept {
    apiBound = bindAll(boundApi);
    return TRUE;
}

}  // namespace

const Api* api() noexcept {
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&once, &bindOnce, nullptr, nullptr);
    return apiBound ? &boundApi : nullptr;
}

bool Session::start() noexcept {
    if (token_ != 0) return true;
    const Api* bound = api();
    if (bound == nullptr) return false;
    const StartupInput input;
    ULONG_PTR token = 0;
    if (bound->startup(&token, &input, nullptr) != kOk) return false;
    token_ = token;
    return true;
}

void Session::end() noexcept {
    if (token_ == 0) return;
    api()->shutdown(token_);
    token_ = 0;
}

}  // namespace splash::gdiplus

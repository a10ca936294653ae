#pragma once

#include <windows.h>

#include <cstdint>

#include "base/unique_handle.h"

// The part of the GDI+ flat API the splash window uses, bound at run time: gdiplus.dll is
// loaded from the system folder on first use and never appears in the executable's import
// table, so a launch without the own splash window never loads it.
namespace splash::gdiplus {

struct Image;
struct Graphics;
struct ImageAttributes;

inline constexpr int kOk = 0;
inline constexpr int kUnitPixel = 2;
inline constexpr int kWrapModeTileFlipXY = 3;
inline constexpr int kInterpolationHighQualityBicubic = 7;
inline constexpr std::uint32_t kOpaqueBlack = 0xFF000000;

struct StartupInput {
    std::uint32_t version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};

// The entry points, all WINGDIPAPI (__stdcall). A GpBitmap is a GpImage to the flat API.
struct Api {
    int(WINAPI* startup)(ULONG_PTR* token, const StartupInput* input, void* output);
    void(WINAPI* shutdown)(ULONG_PTR token);
    int(WINAPI* createBitmapFromFile)(const wchar_t* file, Image** bitmap);
    int(WINAPI* getImageWidth)(Image* image, UINT* width);
    int(WINAPI* getImageHeight)(Image* image, UINT* height);
    int(WINAPI* createFromHdc)(HDC dc, Graphics** graphics);
    int(WINAPI* setInterpolationMode)(Graphics* graphics, int mode);
    int(WINAPI* createImageAttributes)(ImageAttributes** attributes);
    int(WINAPI* setImageAttributesWrapMode)(ImageAttributes* attributes, int wrap,
                                            std::uint32_t borderColour, BOOL clamp);
    int(WINAPI* drawImageRectRectI)(Graphics* graphics, Image* image, INT dstX, INT dstY,
                                    INT dstWidth, INT dstHeight, INT srcX, INT srcY, INT srcWidth,
                                    INT srcHeight, int srcUnit, const ImageAttributes* attributes,
                                    void* abortCallback, void* callbackData);
    int(WINAPI* disposeImageAttributes)(ImageAttributes* attributes);
    int(WINAPI* deleteGraphics)(Graphics* graphics);
    int(WINAPI* disposeImage)(Image* image);
};

// The bound API, or null when gdiplus.dll or one of the entry points is missing. Binds once
// per process (safe from any thread); the library then stays loaded.
[[nodiscard]] const Api* api() noexcept;

namespace detail {
template <typename T>
using Release = int(WINAPI*)(T*);

template <typename T, Release<T> Api::*release>
struct ObjectTraits {
    using Type = T*;
    static Type invalid() noexcept { return nullptr; }
    // Only objects made through the bound API exist, so the API is there to release them.
    static void close(Type object) noexcept { (api()->*release)(object); }
};
}  // namespace detail

using UniqueImage = base::UniqueHandle<detail::ObjectTraits<Image, &Api::disposeImage>>;
using UniqueGraphics = base::UniqueHandle<detail::ObjectTraits<Graphics, &Api::deleteGraphics>>;
using UniqueImageAttributes =
    base::UniqueHandle<detail::ObjectTraits<ImageAttributes, &Api::disposeImageAttributes>>;

// One GDI+ start-up, shut down again by end() or the destructor. Every GDI+ object made in
// between must be gone before the session ends.
class Session {
  public:
    Session() = default;
    ~Session() { end(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Binds and starts GDI+ unless this session already has; false when that fails.
    [[nodiscard]] bool start() noexcept;
    void end() noexcept;

  private:
    ULONG_PTR token_ = 0;
};

}  // namespace splash::gdiplus

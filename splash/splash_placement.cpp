#include "splash/splash_placement.h"

#include <algorithm>
#include <limits>

namespace splash {
namespace {

// 64-bit arithmetic keeps the difference exact; C++ division truncates toward zero, as the
// position must.
int centredStart(int screen, int size) noexcept {
    return static_cast<int>((static_cast<std::int64_t>(screen) - size) / 2);
}

}  // namespace

int windowDimension(std::uint32_t imageDimension) noexcept {
    constexpr std::uint32_t kLargest = std::numeric_limits<int>::max();
    return static_cast<int>(std::min(imageDimension, kLargest));
}

SplashPlacement centredPlacement(int screenWidth, int screenHeight, std::uint32_t imageWidth,
                                 std::uint32_t imageHeight) noexcept {
    SplashPlacement placement;
    placement.width = windowDimension(imageWidth);
    placement.height = windowDimension(imageHeight);
    placement.x = centredStart(screenWidth, placement.width);
    placement.y = centredStart(screenHeight, placement.height);
    return placement;
}

}  // namespace splash

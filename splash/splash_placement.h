#pragma once

#include <cstdint>

namespace splash {

// Where the splash window goes on the primary screen, in screen pixels.
struct SplashPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const SplashPlacement&) const = default;
};

// An image dimension as a window dimension: clamped to what an int holds, so no arithmetic on
// it can overflow whatever a decoder reports.
[[nodiscard]] int windowDimension(std::uint32_t imageDimension) noexcept;

// Centres an image of its natural size on a screen: (screen - image) / 2 on each axis,
// truncated toward zero, so an image larger than the screen gets negative coordinates and keeps
// its full size (clamped as windowDimension does).
[[nodiscard]] SplashPlacement centredPlacement(int screenWidth, int screenHeight,
                                               std::uint32_t imageWidth,
                                               std::uint32_t imageHeight) noexcept;

}  // namespace splash

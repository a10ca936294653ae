#include "splash/splash_placement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace splash {
namespace {

struct PlacementCase {
    const char* what;
    int screenWidth;
    int screenHeight;
    std::uint32_t imageWidth;
    std::uint32_t imageHeight;
    SplashPlacement expected;
};

TEST(SplashPlacementTest, CentresTheImageTruncatingTowardZero) {
    constexpr auto kHuge = std::numeric_limits<std::uint32_t>::max();
    constexpr int kLargest = std::numeric_limits<int>::max();
    const PlacementCase cases[] = {
        {"smaller, even", 1920, 1080, 400, 300, {760, 390, 400, 300}},
        {"smaller, odd sizes round down", 1920, 1080, 401, 301, {759, 389, 401, 301}},
        {"odd screen", 1281, 1023, 300, 200, {490, 411, 300, 200}},
        {"as large as the screen", 1280, 1024, 1280, 1024, {0, 0, 1280, 1024}},
        {"wider than the screen: -40.5 becomes -40", 1920, 1080, 2001, 100, {-40, 490, 2001, 100}},
        {"taller than the screen", 1280, 1024, 10, 1101, {635, -38, 10, 1101}},
        {"no image", 1280, 1024, 0, 0, {640, 512, 0, 0}},
        {"sizes beyond an int are clamped",
         1280,
         1024,
         kHuge,
         kHuge,
         {(1280 - kLargest) / 2, (1024 - kLargest) / 2, kLargest, kLargest}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(centredPlacement(c.screenWidth, c.screenHeight, c.imageWidth, c.imageHeight),
                  c.expected)
            << c.what;
    }
}

}  // namespace
}  // namespace splash

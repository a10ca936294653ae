#include "ui/dialog_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui {
namespace {

// The exception dialog's controls at their opening places (client pixels, 96 dpi).
constexpr LayoutRect kGroup{12, 18, 401, 377};
constexpr LayoutRect kHeading{63, 45, 389, 71};
constexpr LayoutRect kEdit{24, 88, 389, 253};
constexpr LayoutRect kButton{230, 341, 305, 364};

struct LayoutCase {
    const char* name;
    LayoutRect recorded;
    unsigned flags;
    int dx;
    int dy;
    LayoutRect expected;
};

TEST(LaidOutRect, FollowsTheFlagsFromTheRecordedRectangle) {
    const std::vector<LayoutCase> cases = {
        {"size both ways", kGroup, kSizeX | kSizeY, 100, 50, {12, 18, 501, 427}},
        {"size x only keeps top and height", kHeading, kSizeX, 100, 50, {63, 45, 489, 71}},
        {"size x and move y", kEdit, kSizeX | kMoveY, 100, 50, {24, 138, 489, 303}},
        {"move both ways keeps the size", kButton, kMoveX | kMoveY, 100, 50, {330, 391, 405, 414}},
        {"move with repaint", kButton, kMoveX | kMoveY | kRepaint, 7, 9, {237, 350, 312, 373}},
        {"no flags keeps the place", kButton, 0, 100, 50, kButton},
        {"repaint alone keeps the place", kButton, kRepaint, 100, 50, kButton},
        {"no change", kEdit, kSizeX | kSizeY, 0, 0, kEdit},
        {"shrinking back", kEdit, kSizeX | kSizeY, -10, -20, {24, 88, 379, 233}},
        {"size y only", kEdit, kSizeY, 100, 50, {24, 88, 389, 303}},
        {"move y only", kButton, kMoveY, 100, 50, {230, 391, 305, 414}},
    };
    for (const LayoutCase& c : cases) {
        EXPECT_EQ(laidOutRect(c.recorded, c.recorded, c.flags, c.dx, c.dy), c.expected) << c.name;
    }
}

TEST(LaidOutRect, WorksFromTheRecordedRectangleNotTheCurrentOne) {
    // After several size changes the controls must not drift: the offset always applies to
    // the rectangle recorded at opening.
    LayoutRect current = kButton;
    for (int step : {30, 60, 100}) {
        current = laidOutRect(current, kButton, kMoveX | kMoveY, step, step / 2);
    }
    EXPECT_EQ(current, (LayoutRect{330, 391, 405, 414}));
}

TEST(LaidOutRect, UnflaggedEdgesComeFromTheCurrentRectangle) {
    const LayoutRect moved{5, 6, 50, 60};
    EXPECT_EQ(laidOutRect(moved, kHeading, kSizeX, 10, 10), (LayoutRect{5, 6, 399, 60}));
    EXPECT_EQ(laidOutRect(moved, kHeading, kMoveY, 10, 10), (LayoutRect{5, 55, 50, 81}));
}

struct CentreCase {
    const char* name;
    LayoutRect centre;
    LayoutRect area;
    int width;
    int height;
    LayoutPoint expected;
};

TEST(CentredPosition, CentresAndKeepsInsideTheArea) {
    constexpr LayoutRect kWorkArea{0, 0, 1024, 740};
    const std::vector<CentreCase> cases = {
        {"centred in the work area", kWorkArea, kWorkArea, 400, 300, {312, 220}},
        {"odd sizes divide downwards", {0, 0, 1023, 739}, {0, 0, 1023, 739}, 401, 301, {311, 219}},
        {"on an owner", {100, 100, 300, 200}, kWorkArea, 100, 50, {150, 125}},
        {"owner near the right edge", {900, 100, 1100, 200}, kWorkArea, 300, 50, {724, 125}},
        {"owner near the top left", {-200, -100, 0, 0}, kWorkArea, 300, 200, {0, 0}},
        {"larger than the area goes to left and top", kWorkArea, kWorkArea, 2000, 1000, {0, 0}},
        {"area not at the origin",
         {1024, 30, 2048, 770},
         {1024, 30, 2048, 770},
         200,
         100,
         {1436, 350}},
        {"larger than an offset area",
         {1024, 30, 2048, 770},
         {1024, 30, 2048, 770},
         3000,
         900,
         {1024, 30}},
        {"extreme coordinates do not overflow",
         {2147483000, 0, 2147483600, 10},
         {2147483000, 0, 2147483600, 10},
         100,
         10,
         {2147483250, 0}},
    };
    for (const CentreCase& c : cases) {
        EXPECT_EQ(centredPosition(c.centre, c.area, c.width, c.height), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace ui

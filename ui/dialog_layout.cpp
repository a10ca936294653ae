#include "ui/dialog_layout.h"

namespace ui {
namespace {

// One axis of the centring: middle of the centre span, then pulled back inside the area.
int centredStart(int centreStart, int centreEnd, int areaStart, int areaEnd, int size) noexcept {
    // Summed in 64 bits so that extreme coordinates cannot overflow.
    const auto middle = (static_cast<long long>(centreStart) + centreEnd) / 2;
    int start = static_cast<int>(middle) - size / 2;
    if (start > areaEnd - size) start = areaEnd - size;
    if (start < areaStart) start = areaStart;
    return start;
}

}  // namespace

LayoutRect laidOutRect(const LayoutRect& current, const LayoutRect& recorded, unsigned flags,
                       int dx, int dy) noexcept {
    LayoutRect result = current;
    if ((flags & (kSizeX | kMoveX)) != 0) {
        result.right = recorded.right + dx;
        if ((flags & kMoveX) != 0) result.left = recorded.left + dx;
    }
    if ((flags & (kSizeY | kMoveY)) != 0) {
        result.bottom = recorded.bottom + dy;
        if ((flags & kMoveY) != 0) result.top = recorded.top + dy;
    }
    return result;
}

LayoutPoint centredPosition(const LayoutRect& centre, const LayoutRect& area, int width,
                            int height) noexcept {
    return {centredStart(centre.left, centre.right, area.left, area.right, width),
            centredStart(centre.top, centre.bottom, area.top, area.bottom, height)};
}

}  // namespace ui

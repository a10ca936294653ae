#pragma once

namespace ui {

// A rectangle in client coordinates, edges as Windows keeps them (right and bottom exclusive).
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int width() const noexcept { return right - left; }
    [[nodiscard]] int height() const noexcept { return bottom - top; }
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// How a control follows the size of a resizable dialog.
enum LayoutFlag : unsigned {
    kSizeX = 1,
    kSizeY = 2,
    kMoveX = 4,
    kMoveY = 8,
    kRepaint = 16,
};

// The rectangle a control gets when the dialog's client area differs by dx, dy from the size
// it had when the control's rectangle was recorded. Edges the flags do not name keep their
// current place.
[[nodiscard]] LayoutRect laidOutRect(const LayoutRect& current, const LayoutRect& recorded,
                                     unsigned flags, int dx, int dy) noexcept;

struct LayoutPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const LayoutPoint&, const LayoutPoint&) = default;
};

// Where a window of the given size goes to be centred on `centre` while staying inside `area`:
// when it does not fit it keeps to the area's left and top edges.
[[nodiscard]] LayoutPoint centredPosition(const LayoutRect& centre, const LayoutRect& area,
                                          int width, int height) noexcept;

}  // namespace ui

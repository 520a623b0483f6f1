// Sizes, points and rectangles in pixels, shared by every piece of layout arithmetic.
#pragma once

namespace quillon {

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize& a, const PixelSize& b) {
        return a.width == b.width && a.height == b.height;
    }
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint& a, const PixelPoint& b) {
        return a.x == b.x && a.y == b.y;
    }
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect& a, const PixelRect& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
};

// Top-left corner that centres a window of the given outer size in an area; left of or above
// the area when the window is the larger. Halves truncate toward zero.
inline PixelPoint CentredOrigin(PixelRect area, PixelSize window) {
    return {static_cast<int>(area.x + (static_cast<long long>(area.width) - window.width) / 2),
            static_cast<int>(area.y + (static_cast<long long>(area.height) - window.height) / 2)};
}

}  // namespace quillon

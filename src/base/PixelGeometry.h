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

}  // namespace quillon

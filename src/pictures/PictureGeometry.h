// The arithmetic of drawing pictures into the window's picture areas: fitting, stretching
// and placing text. Sizes are outer control sizes in pixels.
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

// Where a picture goes in a control: scaled down to fit (never enlarged), keeping its
// proportions, centred. Width is fitted first, then height from the already fitted size.
PixelRect FittedRect(PixelSize picture, PixelSize control);

// The rectangle an embedded decoration is stretched into: the control less 6 pixels each way.
PixelRect DecorationRect(PixelSize control);

// Top-left corner that centres a text of the given extent in a control.
PixelPoint CentredTextOrigin(PixelSize control, PixelSize text);

// Top-left corner of a caption in the control's top-right corner (8 pixels from the right
// edge, 6 from the top).
PixelPoint CornerCaptionOrigin(PixelSize control, PixelSize text);

// Top-left corner of a window centred in an area (such as the screen's work area).
PixelPoint CentredWindowOrigin(PixelRect area, PixelSize window);

}  // namespace quillon

#include "pictures/PictureGeometry.h"

#include "base/Rounding.h"

namespace quillon {

namespace {
constexpr int kDecorationInset = 6;
constexpr int kCaptionRightMargin = 8;
constexpr int kCaptionTop = 6;
}  // namespace

PixelRect FittedRect(PixelSize picture, PixelSize control) {
    int w = picture.width;
    int h = picture.height;
    if (w > control.width) {
        const double ratio = static_cast<double>(h) / static_cast<double>(w);
        w = control.width;
        h = RoundHalfEvenToInt(ratio * control.width);
    }
    if (h > control.height) {
        const double ratio = static_cast<double>(w) / static_cast<double>(h);
        h = control.height;
        w = RoundHalfEvenToInt(ratio * control.height);
    }
    return {(control.width - w) / 2, (control.height - h) / 2, w, h};
}

PixelRect DecorationRect(PixelSize control) {
    return {0, 0, control.width - kDecorationInset, control.height - kDecorationInset};
}

PixelPoint CentredTextOrigin(PixelSize control, PixelSize text) {
    return {(control.width - text.width) / 2, (control.height - text.height) / 2};
}

PixelPoint CornerCaptionOrigin(PixelSize control, PixelSize text) {
    return {control.width - text.width - kCaptionRightMargin, kCaptionTop};
}

}  // namespace quillon

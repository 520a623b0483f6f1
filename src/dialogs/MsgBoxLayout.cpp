#include "dialogs/MsgBoxLayout.h"

#include <algorithm>
#include <cstdint>

#include "base/Rounding.h"

namespace quillon {
namespace {

// The text box grows in height with the one-line width of the text: W x th x tw / 100000.
constexpr std::int64_t kTextAreaDivisor = 100000;

std::int64_t Bounded(std::int64_t value) {
    return std::clamp<std::int64_t>(value, -kMsgBoxMaxCoordinate, kMsgBoxMaxCoordinate);
}

int Coordinate(std::int64_t value) {
    return static_cast<int>(Bounded(value));
}

}  // namespace

MsgBoxGeometry MsgBoxLayout(PixelSize textExtent, int fontSize, bool hasIcon,
                            const std::vector<int>& captionWidths, int maxClientHeight,
                            int wrappedTextHeight) {
    MsgBoxGeometry box;
    box.hasIcon = hasIcon;
    if (hasIcon)
        box.icon = {kMsgBoxIconInset, kMsgBoxIconInset, kMsgBoxIconSize, kMsgBoxIconSize};

    const std::int64_t tw = std::clamp<std::int64_t>(textExtent.width, 0, kMsgBoxMaxCoordinate);
    const std::int64_t th = std::clamp<std::int64_t>(textExtent.height, 0, kMsgBoxMaxCoordinate);
    const std::int64_t points = Bounded(fontSize);
    const std::int64_t width = std::max<std::int64_t>(
        kMsgBoxTextMinWidth, std::min<std::int64_t>(kMsgBoxTextMaxWidth, tw));
    // round(W x th x tw / 100000 + 2 x size), done on whole numbers so that halves are exact.
    std::int64_t height = std::max<std::int64_t>(
        0, Bounded(RoundHalfEvenQuotient(width * th * tw + 2 * points * kTextAreaDivisor,
                                         kTextAreaDivisor)));
    height = std::max<std::int64_t>(height, Bounded(wrappedTextHeight));
    const std::int64_t fixedHeight = kMsgBoxMargin + kMsgBoxBottomSpace;
    if (maxClientHeight > 0 && height + fixedHeight > maxClientHeight) {
        height =
            std::max<std::int64_t>(kMsgBoxMinScrollingTextHeight, maxClientHeight - fixedHeight);
        box.textScrolls = true;
    }
    const int textLeft = hasIcon ? kMsgBoxTextLeftWithIcon : kMsgBoxMargin;
    box.text = {textLeft, kMsgBoxMargin, Coordinate(width), Coordinate(height)};

    std::int64_t buttonTop = height + kMsgBoxMargin;
    if (hasIcon)
        buttonTop = std::max<std::int64_t>(buttonTop, kMsgBoxButtonTopWithIcon);
    box.buttonTop = Coordinate(buttonTop);

    std::vector<std::int64_t> buttonWidths;
    std::int64_t x = kMsgBoxMargin;
    for (int caption : captionWidths) {
        const std::int64_t bw =
            kMsgBoxButtonPadding + std::clamp<std::int64_t>(caption, 0, kMsgBoxMaxCoordinate);
        buttonWidths.push_back(bw);
        x += bw + kMsgBoxButtonGap;
    }
    const std::int64_t rowEnd = x;
    box.rowEnd = Coordinate(rowEnd);

    const std::int64_t textRight = textLeft + width + kMsgBoxMargin;
    const std::int64_t clientWidth = std::max(rowEnd, textRight);
    box.clientWidth = Coordinate(clientWidth);
    box.clientHeight = Coordinate(buttonTop + kMsgBoxBottomSpace);

    // The row (buttons and the gaps between them) is centred; the division truncates.
    const std::int64_t rowWidth = rowEnd - 2 * kMsgBoxMargin;
    x = (clientWidth - rowWidth) / 2;
    for (std::int64_t bw : buttonWidths) {
        box.buttons.push_back({Coordinate(x), box.buttonTop, Coordinate(bw), kMsgBoxButtonHeight});
        x += bw + kMsgBoxButtonGap;
    }
    return box;
}

PixelPoint KeptOnWorkArea(PixelRect window, PixelRect workArea) {
    const auto along = [](int at, int size, int areaAt, int areaSize) {
        const std::int64_t farthest = static_cast<std::int64_t>(areaAt) + areaSize - size;
        return static_cast<int>(
            std::max<std::int64_t>(areaAt, std::min<std::int64_t>(at, farthest)));
    };
    return {along(window.x, window.width, workArea.x, workArea.width),
            along(window.y, window.height, workArea.y, workArea.height)};
}

}  // namespace quillon

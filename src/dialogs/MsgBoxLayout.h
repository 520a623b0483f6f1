// Where the message box puts its icon, text and buttons, worked out from measured extents
// so that the arithmetic is testable without a window.
#pragma once

#include <vector>

#include "base/PixelGeometry.h"

namespace quillon {

constexpr int kMsgBoxMargin = 10;    // around the text and before the first button
constexpr int kMsgBoxIconInset = 5;  // the icon sits at (5, 5)
constexpr int kMsgBoxIconSize = 32;  // system icons are loaded 32 x 32
constexpr int kMsgBoxTextLeftWithIcon = 42;
constexpr int kMsgBoxButtonTopWithIcon = 42;  // the row never starts beside the icon
constexpr int kMsgBoxTextMinWidth = 160;
constexpr int kMsgBoxTextMaxWidth = 380;
constexpr int kMsgBoxButtonPadding = 20;  // added to a caption's measured width
constexpr int kMsgBoxButtonHeight = 24;
constexpr int kMsgBoxButtonGap = 10;
constexpr int kMsgBoxBottomSpace = 29;             // below the top of the button row
constexpr int kMsgBoxMinScrollingTextHeight = 48;  // a cut text box still shows a few lines

// Extents larger than any screen are cut to this so that the arithmetic stays defined.
constexpr int kMsgBoxMaxCoordinate = 1 << 24;

struct MsgBoxGeometry {
    bool hasIcon = false;
    PixelRect icon;                  // empty without an icon
    PixelRect text;                  // the message text box
    int buttonTop = 0;               // top of the button row
    int rowEnd = 0;                  // x after the last button and its gap, before centring
    std::vector<PixelRect> buttons;  // in row order, already centred
    int clientWidth = 0;
    int clientHeight = 0;
    bool textScrolls = false;  // the text was cut to fit the screen and needs a scroll bar
};

// textExtent: the whole message measured as one line in the text font; fontSize: the text
// font's size in points; captionWidths: each button caption measured in the button font.
// maxClientHeight (0: no limit) is the most the screen can show: a longer report (a script's
// whole console output, say) gets a shorter, scrolling text box instead of pushing the
// buttons off the screen. wrappedTextHeight is the height of the text as the text box
// wraps it at the width laid out for it (0: not measured); the one-line extent alone
// underrates texts with line breaks or long unbroken names, so the box grows to that.
MsgBoxGeometry MsgBoxLayout(PixelSize textExtent, int fontSize, bool hasIcon,
                            const std::vector<int>& captionWidths, int maxClientHeight = 0,
                            int wrappedTextHeight = 0);

// Moves a window's top-left corner (screen coordinates) as little as needed for the whole
// window to lie on the work area; a window larger than the area keeps its title bar on it.
PixelPoint KeptOnWorkArea(PixelRect window, PixelRect workArea);

}  // namespace quillon

// The arithmetic of drawing pictures into the window's picture areas: fitting, stretching
// and placing text. Sizes are outer control sizes in pixels.
#pragma once

#include "base/PixelGeometry.h"

namespace quillon {

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

}  // namespace quillon

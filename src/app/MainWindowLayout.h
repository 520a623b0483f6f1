// The main window's frame and its eight controls as data: what each is, where it sits and
// how it starts. The window code builds the controls from this table, in its order.
#pragma once

#include <array>

#include "pictures/PictureGeometry.h"

namespace quillon {

inline constexpr PixelSize kMainClientSize{516, 280};
inline constexpr const char* kMainWindowTitle = "Quillon v0.1 - Veltrane 2014";

// The status lines' texts while no script is chosen, and once the marker entry is chosen.
inline constexpr const char* kSelectScriptText = "Select a script from the drop-down menu";
inline constexpr const char* kPopupMenuHintText = "   ...or use the popup menu on the right -->";
inline constexpr const char* kCreateScriptHintText = "Create a new script from the popup menu -->";

// The drop-down list is this many pixels high for each of its entries.
inline constexpr int kScriptListItemHeight = 24;

enum class ControlKind {
    ScriptList,    // drop-down list that cannot be typed into, not sorted
    PictureArea,   // sunken drawing surface that reports clicks
    StatusLine,    // read-only single-line text, scrolls sideways
    BitmapButton,  // push button showing a 17 x 17 bitmap resource
    TextButton,    // push button with a caption
};

// How far each edge of a control moves when the window is larger than its smallest size, in
// halves of the extra width (left, right) and of the extra height (top, bottom): the input
// column takes one half of the extra width, the output column the other.
struct EdgeShares {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

struct ControlEntry {
    int id;
    ControlKind kind;
    const char* text;  // caption, or the bitmap's resource name for a bitmap button
    PixelRect rect;    // for the script list the height is per entry, see ScriptListHeight
    bool enabled;
    EdgeShares grows;
};

// The controls in creation order, which is also the keyboard's tab order.
const std::array<ControlEntry, 8>& MainWindowControls();

// The table's entry for a control id; the first entry for an id not in the table.
const ControlEntry& ControlEntryOf(int id);

// The drop-down list's full height, dropped-down part included.
int ScriptListHeight(int entries);

// The layout is drawn for 96 dots per inch; at another scaling every length is scaled from it,
// so that 100 % is exactly the drawn layout.
inline constexpr int kLayoutDpi = 96;

// A length of the 96-DPI layout at dpi, rounded to the nearest pixel.
int ScaledLength(int length, int dpi);

// A rectangle of the 96-DPI layout at dpi: its edges are scaled, so that neighbours that touch
// at 96 DPI still touch.
PixelRect ScaledRect(const PixelRect& rect, int dpi);

// The window's smallest client size at dpi: the drawn layout, scaled.
PixelSize MainClientSizeAt(int dpi);

// Where a control of the table goes in a client area of the given size at dpi: scaled, then its
// edges moved by their shares of the client's size beyond its smallest (never less than none).
PixelRect PlaceControl(const ControlEntry& entry, int dpi, PixelSize client);

}  // namespace quillon

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

struct ControlEntry {
    int id;
    ControlKind kind;
    const char* text;  // caption, or the bitmap's resource name for a bitmap button
    PixelRect rect;    // for the script list the height is per entry, see ScriptListHeight
    bool enabled;
};

// The controls in creation order, which is also the keyboard's tab order.
const std::array<ControlEntry, 8>& MainWindowControls();

// The drop-down list's full height, dropped-down part included.
int ScriptListHeight(int entries);

}  // namespace quillon

#include "app/MainWindowLayout.h"

#include "app/MenuIds.h"
#include "pictures/InputSlots.h"
#include "pictures/SlotLayout.h"

namespace quillon {

namespace {

// The first slot area starts in the one-picture layout, filling the input area. The output
// area is one pixel taller than it, and the menu button reaches one pixel below the client
// area: both as the window has always looked.
constexpr std::array<ControlEntry, 8> kControls{{
    {kScriptListId, ControlKind::ScriptList, "", {8, 8, 240, kScriptListItemHeight}, true},
    {kFirstSlotId, ControlKind::PictureArea, "", kInputArea, true},
    {kInputStatusId, ControlKind::StatusLine, kSelectScriptText, {8, 258, 240, 18}, true},
    {kEditScriptButtonId, ControlKind::BitmapButton, "PEN", {264, 8, 24, 24}, false},
    {kExecuteButtonId,
     ControlKind::TextButton,
     "Execute ImageMagick Script",
     {290, 8, 214, 24},
     false},
    {kOutputPictureId, ControlKind::PictureArea, "", {264, 40, 240, 217}, true},
    {kOutputStatusId, ControlKind::StatusLine, kPopupMenuHintText, {264, 258, 228, 18}, true},
    {kMenuButtonId, ControlKind::BitmapButton, "MNU", {493, 257, 24, 24}, true},
}};

}  // namespace

const std::array<ControlEntry, 8>& MainWindowControls() {
    return kControls;
}

int ScriptListHeight(int entries) {
    return kScriptListItemHeight * entries;
}

}  // namespace quillon

#include "app/MainWindowLayout.h"

#include "app/MenuIds.h"
#include "pictures/InputSlots.h"
#include "pictures/SlotLayout.h"

namespace quillon {

namespace {

// The first slot area starts in the one-picture layout, filling the input area. The output
// area is one pixel taller than it, and the menu button reaches one pixel below the client
// area: both as the window has always looked.
// A larger window grows the two picture columns alike and the picture areas in height; the
// list, the buttons and the status lines keep their heights, and the menu button its corner.
constexpr std::array<ControlEntry, 8> kControls{{
    {kScriptListId,
     ControlKind::ScriptList,
     "",
     {8, 8, 240, kScriptListItemHeight},
     true,
     {0, 1, 0, 0}},
    {kFirstSlotId, ControlKind::PictureArea, "", kInputArea, true, {0, 1, 0, 2}},
    {kInputStatusId,
     ControlKind::StatusLine,
     kSelectScriptText,
     {8, 258, 240, 18},
     true,
     {0, 1, 2, 2}},
    {kEditScriptButtonId, ControlKind::BitmapButton, "PEN", {264, 8, 24, 24}, false, {1, 1, 0, 0}},
    {kExecuteButtonId,
     ControlKind::TextButton,
     "Execute ImageMagick Script",
     {290, 8, 214, 24},
     false,
     {1, 2, 0, 0}},
    {kOutputPictureId, ControlKind::PictureArea, "", {264, 40, 240, 217}, true, {1, 2, 0, 2}},
    {kOutputStatusId,
     ControlKind::StatusLine,
     kPopupMenuHintText,
     {264, 258, 228, 18},
     true,
     {1, 2, 2, 2}},
    {kMenuButtonId, ControlKind::BitmapButton, "MNU", {493, 257, 24, 24}, true, {2, 2, 2, 2}},
}};

// The offset of an edge with `halves` shares of `extra`: the first half is rounded down, so
// that the two columns' halves always add up to the whole.
int ShareOf(int extra, int halves) {
    return halves <= 0 ? 0 : halves == 1 ? extra / 2 : extra;
}

}  // namespace

const std::array<ControlEntry, 8>& MainWindowControls() {
    return kControls;
}

const ControlEntry& ControlEntryOf(int id) {
    for (const ControlEntry& entry : kControls) {
        if (entry.id == id)
            return entry;
    }
    return kControls.front();
}

int ScriptListHeight(int entries) {
    return kScriptListItemHeight * entries;
}

int ScaledLength(int length, int dpi) {
    const long long scaled = static_cast<long long>(length) * dpi;
    const long long half = kLayoutDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kLayoutDpi
                                        : -((-scaled + half) / kLayoutDpi));
}

PixelRect ScaledRect(const PixelRect& rect, int dpi) {
    const int left = ScaledLength(rect.x, dpi);
    const int top = ScaledLength(rect.y, dpi);
    return {left, top, ScaledLength(rect.x + rect.width, dpi) - left,
            ScaledLength(rect.y + rect.height, dpi) - top};
}

PixelSize MainClientSizeAt(int dpi) {
    return {ScaledLength(kMainClientSize.width, dpi), ScaledLength(kMainClientSize.height, dpi)};
}

PixelRect PlaceControl(const ControlEntry& entry, int dpi, PixelSize client) {
    const PixelSize smallest = MainClientSizeAt(dpi);
    const int extraWidth = client.width > smallest.width ? client.width - smallest.width : 0;
    const int extraHeight = client.height > smallest.height ? client.height - smallest.height : 0;
    const PixelRect scaled = ScaledRect(entry.rect, dpi);
    const int left = scaled.x + ShareOf(extraWidth, entry.grows.left);
    const int right = scaled.x + scaled.width + ShareOf(extraWidth, entry.grows.right);
    const int top = scaled.y + ShareOf(extraHeight, entry.grows.top);
    const int bottom = scaled.y + scaled.height + ShareOf(extraHeight, entry.grows.bottom);
    return {left, top, right - left, bottom - top};
}

}  // namespace quillon

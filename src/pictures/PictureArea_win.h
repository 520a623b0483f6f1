// Picture areas: sunken static controls that report clicks and keep an off-screen image
// of their own outer size. Everything is drawn into that image; the control paints itself
// from it, so a preview survives being covered and uncovered.
#pragma once

#include <windows.h>

#include <string>

#include "pictures/PictureGeometry.h"

namespace quillon {

// What an area that takes the focus reports of its keys to its parent, as WM_COMMAND
// notifications beside the static control's own: Enter and Space report a click
// (STN_CLICKED), Delete asks for the area to be emptied, Ctrl+V or Shift+Insert for what the
// clipboard holds to be put in it.
constexpr unsigned short kAreaEmptyKey = 0x0101;
constexpr unsigned short kAreaPasteKey = 0x0102;
// An area that takes no focus also reports the left mouse button going down on it and
// coming up again (it holds the mouse in between), for a picture shown only while held.
constexpr unsigned short kAreaPressed = 0x0103;
constexpr unsigned short kAreaReleased = 0x0104;

// Creates a visible picture area with the given id at rect (parent's client pixels),
// cleared to the button-face colour. One that takesFocus is a tab stop that marks its focus
// and reports its keys. Null when the control cannot be made.
HWND CreatePictureArea(HWND parent, int id, const PixelRect& rect, bool takesFocus = false);

// Moves an area to rect; when its size changes, its image is made anew at the new size and
// cleared, for the owner to draw again. False for a window that is no picture area.
bool PlacePictureArea(HWND area, const PixelRect& rect);

// Names an area for screen readers (its window text, which the standard accessibility
// object reads as its name); the text is never drawn.
void SetSpokenText(HWND area, const std::string& text);

// The device context of an area's off-screen image; null for any other window.
HDC PictureAreaDc(HWND area);

// The outer size of an area (border included), which is also the size of its image.
PixelSize PictureAreaSize(HWND area);

// Fills an area's image with the button-face colour.
void ClearPictureArea(HWND area);

// Shows an area's image on the screen at once.
void RefreshPictureArea(HWND area);

// While one lives, areas drawn anew are shown with the window's next paint rather than at
// once: a layout draws every area, and a paint of each in turn would make a resize drag lag.
class DeferredAreaPaints {
  public:
    DeferredAreaPaints();
    ~DeferredAreaPaints();
    DeferredAreaPaints(const DeferredAreaPaints&) = delete;
    DeferredAreaPaints& operator=(const DeferredAreaPaints&) = delete;
};

}  // namespace quillon

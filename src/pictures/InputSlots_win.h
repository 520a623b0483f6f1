// The input slots on the main window: their layout, the slot under the pointer, and
// loading a picture into a slot.
#pragma once

#include <windows.h>

#include <string>

#include "app/Handles_win.h"
#include "pictures/InputSlots.h"

namespace quillon {

// A decoded GDI+ picture as a slot holds it.
class SlotPicture final : public HeldPicture {
  public:
    explicit SlotPicture(PictureOwner image) : image_(std::move(image)) {}
    Gdiplus::GpImage* get() const { return image_.get(); }

  private:
    PictureOwner image_;
};

// The GDI+ picture a slot holds, or null.
Gdiplus::GpImage* SlotImage(const InputSlot& slot);

// Re-creates the slot areas for a script with argCount input pictures, empties every slot
// and the output preview, and sets the hint, the buttons and drop acceptance to match.
void LayoutSlots(int argCount);

// The input slot (1 to 4) whose area is `control`, when the chosen script takes pictures;
// 0 otherwise.
int SlotUnderPointer(HWND control);

// The cursor query over `control`: records the slot under the pointer and, over a slot,
// shows the hand. True when the query was answered here.
bool UpdateHoverSlot(HWND control);

// Asks the user for a picture and loads it into slot `index`; beeps while no script is chosen.
void ChoosePictureForSlot(int index);

// Loads the picture at path into slot `index`, or says the format is not supported.
void FillSlot(int index, const std::string& path);

}  // namespace quillon

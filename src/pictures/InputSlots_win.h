// The input slots on the main window: their layout, the slot under the pointer, and
// loading a picture into a slot.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "base/Handles_win.h"
#include "base/PixelGeometry.h"
#include "pictures/InputSlots.h"

namespace quillon {

// A GDI+ picture as a slot holds it: for an input slot, a preview the size it is drawn at in
// the slot's area (the slot's width and height keep the picture's true size), and the reduced
// copy ImageMagick made of a picture GDI+ cannot read, deleted with it.
class SlotPicture final : public HeldPicture {
  public:
    explicit SlotPicture(PictureOwner image, std::string reducedCopy = std::string())
        : image_(std::move(image)), reducedCopy_(std::move(reducedCopy)) {}
    ~SlotPicture() override;
    SlotPicture(const SlotPicture&) = delete;
    SlotPicture& operator=(const SlotPicture&) = delete;
    Gdiplus::GpImage* get() const { return image_.get(); }
    const std::string& reducedCopy() const { return reducedCopy_; }

  private:
    PictureOwner image_;
    std::string reducedCopy_;
};

// The GDI+ picture a slot holds (for an input slot, its preview), or null.
Gdiplus::GpImage* SlotImage(const InputSlot& slot);

// Every function here works on the main window it is handed; `argCount` is the chosen
// script's number of input pictures (0 when it takes none or no script is chosen).

// Where the input area lies in the window now (client pixels): the slots fill it in the drawn
// layout's proportions. Slots already made are moved there and drawn again at their new size
// from the previews they hold, without reading their files again.
void PlaceInputArea(HWND window, const PixelRect& area);

// Re-creates the slot areas for a script with argCount input pictures, empties every slot
// and the output preview, and sets the hint, the buttons and drop acceptance to match.
void LayoutSlots(HWND window, int argCount);

// The input slot (1 to 4) whose area is `control`, when the chosen script takes pictures;
// 0 otherwise.
int SlotUnderPointer(HWND window, HWND control, int argCount);

// The cursor query over `control`: the slot under the pointer, with the hand shown over it;
// 0 when the pointer is over no slot (the query is then left to the default cursor).
int UpdateHoverSlot(HWND window, HWND control, int argCount);

// Asks the user for a picture and loads it into slot `index`; beeps while no script is
// chosen (the no-script decoration shows where slot 1 would be).
void ChoosePictureForSlot(HWND window, int index, std::optional<int> chosenArgCount);

// Empties slot `index` (slot 1 lets go of its set too): its label shows again and the script
// cannot run until it is filled. Beeps while no script is chosen or it has no such slot.
void EmptySlot(HWND window, int index, std::optional<int> chosenArgCount);

// Loads the picture at path into slot `index`, or says the format is not supported.
void FillSlot(HWND window, int index, const std::string& path, int argCount);

// Hears of every change of the slots' pictures (filled, emptied, laid out anew, or a picture
// refused), after it; an empty function hears nothing.
void SetSlotChangeListener(std::function<void(HWND window)> listener);

// Hears of a picture about to be read into slot `index`, before the slot's own reading (which
// takes the window's thread for a large picture), so that work for it can start meanwhile.
// The change listener hears afterwards whether it landed or not.
void SetSlotLandingListener(
    std::function<void(HWND window, int index, const std::string& path)> listener);

// Writes the right status line. producedFile is the file the line names as created (kept as
// the output slot's path, for the file manager), empty with any other text.
void SetOutputStatus(HWND window, const std::string& text, const std::string& producedFile = "");

}  // namespace quillon

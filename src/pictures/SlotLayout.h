// Where the input slots go for each argument count, and the texts the slots show.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pictures/PictureGeometry.h"

namespace quillon {

// The status line when a file cannot be loaded into a slot.
inline constexpr const char* kPictureNotSupportedText = "Picture format not supported";

// The input area all layouts fill: x 8 to 248, y 40 to 256.
inline constexpr PixelRect kInputArea{8, 40, 240, 216};

struct SlotGeometry {
    PixelRect rect;
    int labelPoints = 0;  // size of the empty slot's "arg #i" label, in points
    friend bool operator==(const SlotGeometry& a, const SlotGeometry& b) {
        return a.rect == b.rect && a.labelPoints == b.labelPoints;
    }
};

// Slot `slot` (1 to argCount) of the layout for argCount (1 to 4) input pictures; nothing
// for any other argument count or slot number, since no such slot is ever created.
std::optional<SlotGeometry> SlotRect(int argCount, int slot);

// Where a rect of the drawn input area (kInputArea) goes once that area is placed at `area`:
// it keeps its place and size in proportion to the area.
PixelRect PlaceInInputArea(const PixelRect& rect, const PixelRect& area);

// How many slot controls the layout for argCount creates: argCount for 1 to 4, else none.
int SlotsCreated(int argCount);

// The label of an empty slot: "arg #" and the slot number.
std::string SlotLabel(int slot);

// The status line once a script is chosen: what the user is asked to supply.
std::string SlotHintText(int argCount);

// The status line after a picture is loaded: "photo.jpg 1600x1200".
std::string PictureStatusText(std::string_view path, int width, int height);

// What a screen reader says for a slot: "Picture 1 of 2: beach.jpg, 600 by 800", or
// "Picture 2 of 2: empty" while the slot holds no picture (an empty path).
std::string SlotSpokenText(int slot, int slotCount, std::string_view path, int width, int height);

// The same for the output area: "Output: beach_half.jpg, 300 by 400", or "Output: empty".
std::string OutputSpokenText(std::string_view path, int width, int height);

// True when an ANSI path carries the '?' with which a character outside the code page was
// written. Windows forbids '?' in names (beyond the "\\?\" prefix), so such a path names no
// real file and must be refused rather than opened.
bool HasUnrepresentableMark(std::string_view path);

}  // namespace quillon

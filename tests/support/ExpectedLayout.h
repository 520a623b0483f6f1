// The main window's layout written out by hand from the design tables, so that the
// slot arithmetic and the real window are checked against numbers the code did not make.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/PixelGeometry.h"

namespace quillon::testing {

struct ExpectedControl {
    int id;
    const char* text;  // the status lines' and the execute button's starting text
    PixelRect rect;    // the list's height is its closed height
    bool enabled;
};

// The eight controls in creation (and tab) order.
inline const std::vector<ExpectedControl>& ExpectedControls() {
    static const std::vector<ExpectedControl> controls = {
        {1001, "", {8, 8, 240, 24}, true},
        {1101, "", {8, 40, 240, 216}, true},
        {1003, "Select a script from the drop-down menu", {8, 258, 240, 18}, true},
        {1002, "", {264, 8, 24, 24}, false},
        {1006, "Execute ImageMagick Script", {290, 8, 214, 24}, false},
        {1004, "", {264, 40, 240, 217}, true},
        {1005, "   ...or use the popup menu on the right -->", {264, 258, 228, 18}, true},
        {1007, "", {493, 257, 24, 24}, true},
    };
    return controls;
}

struct ExpectedSlot {
    int argCount;
    int slot;
    PixelRect rect;
    int labelPoints;
};

inline void PrintTo(const ExpectedSlot& s, std::ostream* out) {
    *out << "slot " << s.slot << " of " << s.argCount;
}

inline const std::vector<ExpectedSlot>& ExpectedSlots() {
    static const std::vector<ExpectedSlot> slots = {
        {1, 1, {8, 40, 240, 216}, 48},   {2, 1, {8, 40, 118, 216}, 26},
        {2, 2, {130, 40, 118, 216}, 26}, {3, 1, {8, 40, 240, 70}, 30},
        {3, 2, {8, 114, 240, 70}, 30},   {3, 3, {8, 186, 240, 70}, 30},
        {4, 1, {8, 40, 118, 106}, 20},   {4, 2, {130, 40, 118, 106}, 20},
        {4, 3, {8, 150, 118, 106}, 20},  {4, 4, {130, 150, 118, 106}, 20},
    };
    return slots;
}

// The slot's rectangle in the layout for argCount pictures; nothing where no slot is made.
inline std::optional<PixelRect> ExpectedSlotRect(int argCount, int slot) {
    for (const ExpectedSlot& s : ExpectedSlots()) {
        if (s.argCount == argCount && s.slot == slot)
            return s.rect;
    }
    return std::nullopt;
}

inline std::string ExpectedHint(int argCount) {
    if (argCount == 0)
        return "No input pic necessary";
    if (argCount == 1)
        return "Drag & drop a picture on the area above";
    return "Drag & drop " + std::to_string(argCount) + " pictures on the areas above";
}

}  // namespace quillon::testing

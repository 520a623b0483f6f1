// The table of picture slots: entry 0 holds the output preview, entries 1 to 4 the inputs.
#pragma once

#include <array>
#include <string>

namespace quillon {

constexpr int kSlotCount = 4;
constexpr int kSlotIdBase = 1100;  // slot i is the control 1100 + i

struct InputSlot {
    std::string path;
    int width = 0;
    int height = 0;
    int controlId = 0;
};

using InputSlotTable = std::array<InputSlot, kSlotCount + 1>;

InputSlotTable& InputSlots();

// Empties all five records and binds slots 1 to 4 to their control ids.
void CreateInputSlots();

}  // namespace quillon

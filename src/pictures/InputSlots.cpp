#include "pictures/InputSlots.h"

namespace quillon {

InputSlotTable& InputSlots() {
    static InputSlotTable slots;
    return slots;
}

void CreateInputSlots() {
    InputSlotTable& slots = InputSlots();
    for (int i = 0; i <= kSlotCount; ++i) {
        slots[static_cast<std::size_t>(i)] = InputSlot{};
        if (i > 0)
            slots[static_cast<std::size_t>(i)].controlId = kSlotIdBase + i;
    }
}

}  // namespace quillon

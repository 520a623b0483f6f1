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

void ClearInputSlot(InputSlot& slot) {
    slot.path.clear();
    slot.picture.reset();
    slot.width = 0;
    slot.height = 0;
}

int SlotForControlId(const InputSlotTable& slots, int controlId) {
    if (controlId == 0)
        return 0;  // windows without an id, and slots not yet bound
    for (int i = 1; i <= kSlotCount; ++i) {
        if (slots[static_cast<std::size_t>(i)].controlId == controlId)
            return i;
    }
    return 0;
}

bool AllInputsFilled(const InputSlotTable& slots, int argCount) {
    if (argCount > kSlotCount)
        return false;
    int filled = 0;
    for (int i = 1; i <= argCount; ++i) {
        if (slots[static_cast<std::size_t>(i)].picture)
            ++filled;
    }
    return filled == argCount;
}

}  // namespace quillon

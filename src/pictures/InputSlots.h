// The table of picture slots: entry 0 holds the output preview, entries 1 to 4 the inputs.
#pragma once

#include <array>
#include <memory>
#include <string>

namespace quillon {

constexpr int kSlotCount = 4;
constexpr int kSlotIdBase = 1100;  // slot i is the control 1100 + i
constexpr int kFirstSlotId = kSlotIdBase + 1;
constexpr int kLastSlotId = kSlotIdBase + kSlotCount;

// A picture as a slot holds it: for an input slot, a preview no larger than the slot's area,
// made when the picture is loaded. Opaque here: the picture engine makes it and reads it;
// destroying it releases the decoder's picture.
class HeldPicture {
  public:
    virtual ~HeldPicture() = default;
};

struct InputSlot {
    std::string path;
    std::unique_ptr<HeldPicture> picture;  // released when replaced or cleared
    int width = 0;                         // the picture's true size, not its preview's
    int height = 0;
    int controlId = 0;
};

using InputSlotTable = std::array<InputSlot, kSlotCount + 1>;

InputSlotTable& InputSlots();

// Empties all five records and binds slots 1 to 4 to their control ids.
void CreateInputSlots();

// Empties one slot (path, picture, size); its control id stays.
void ClearInputSlot(InputSlot& slot);

// The input slot bound to a control id, 1 to 4, or 0 when the id is no slot's.
int SlotForControlId(const InputSlotTable& slots, int controlId);

// True when each of the slots 1 to argCount holds a picture: the moment the script can run.
// A count beyond the four slots can never be satisfied.
bool AllInputsFilled(const InputSlotTable& slots, int argCount);

}  // namespace quillon

// Slot 1 holding many pictures: the set itself, the count drawn over the slot and the
// multi-select chooser. Slots 2 to 4 always hold one picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillon {

// The pictures slot 1 holds when it holds more than one (the first is the one shown);
// empty while it holds one picture or none.
const std::vector<std::string>& SlotOneSet();

// The pictures named by dropped or chosen paths: a folder gives the pictures at its top
// level, a file stays itself.
std::vector<std::string> ExpandPictureSources(const std::vector<std::string>& paths);

// Puts the pictures into slot 1: the first is loaded and shown as a single picture would
// be, the count of the others is drawn over the slot and the status line counts them all.
// One picture is loaded as ever; none beeps.
void FillSlotOne(HWND window, const std::vector<std::string>& paths, int argCount);

// Forgets slot 1's set; called whenever the slot gets a single picture or is laid out anew.
void ForgetSlotOneSet(HWND window);

}  // namespace quillon

// Slot 1 holding many pictures: the set itself, the count drawn over the slot and the
// multi-select chooser. Slots 2 to 4 always hold one picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "pictures/PictureFolder_win.h"

namespace quillon {

// The pictures slot 1 holds when it holds more than one (the first is the one shown);
// empty while it holds one picture or none.
const std::vector<std::string>& SlotOneSet();

// Puts the pictures that dropped or chosen paths name into slot 1: a folder gives the
// pictures at its top level, a file of a picture type stays itself, any other file is left
// out (the status line counts them). The first picture is loaded and shown as a single
// picture would be, the count of the others is drawn over the slot and the status line
// counts them all. One picture is loaded as ever; none beeps and says so.
void FillSlotOne(HWND window, const std::vector<std::string>& sources, int argCount);

// The folders among the paths that filled slot 1's set, whose subfolders a run may include.
const std::vector<std::string>& SlotOneFolders();

// Slot 1's set for a run: as it holds it, or with every picture below its folders.
std::vector<FolderPicture> SlotOneSetFor(bool withSubfolders);

// Forgets slot 1's set; called whenever the slot gets a single picture or is laid out anew.
void ForgetSlotOneSet(HWND window);

}  // namespace quillon

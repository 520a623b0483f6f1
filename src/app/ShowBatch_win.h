// The batch Execute would write for the chosen script, its pictures and its settings' values,
// shown in a box of its own to read and copy.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The batch text as Execute would write it now; a problem with a value instead when one does
// not pass; empty while no script is chosen.
std::string BatchOfChosenScript(HWND window);

// Opens the box over the window and waits until it is closed.
void ShowBatch(HWND window);

}  // namespace quillon

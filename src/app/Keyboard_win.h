// The keys the main window answers wherever its focus is, and whether the user's last
// input came from the keyboard (a menu opened from it appears at its button).
#pragma once

#include <windows.h>

namespace quillon {

// Starts watching the keys of this thread for the main window: F5 arrives as the private
// message kReadFolderAgainMessage.
void WatchKeyboard(HWND window);

// Stops it; the window is going.
void StopWatchingKeyboard();

// True when the last key or mouse button the window's thread took was a key.
bool LastInputWasKeyboard();

}  // namespace quillon

// Scripts changed on disk by other programs while the window is open (an editor Quillon did
// not start, a copy, a deletion) reach the list without a restart: the program folder is
// watched, and read again through the scan and its cache once it has been quiet a moment.
#pragma once

#include <windows.h>

namespace quillon {

// Starts watching the program folder for the main window; a change arrives as the private
// message kScriptsChangedMessage.
void WatchScriptFolder(HWND window);

// Stops the watch; the window is going.
void StopWatchingScriptFolder();

// Files in the folder changed: the folder is read again once no change has come for a moment
// (an editor's save in several steps is read once), and not while a script runs, its editor
// is open or a dialog of the window is.
void OnScriptsChanged(HWND window);

// The user asks for the folder to be read again (F5): at once, or a beep while a run, an
// editor or a dialog holds the list.
void ReadScriptFolderNow(HWND window);

// The window's timer; true when it was the one OnScriptsChanged set.
bool OnScriptsChangedTimer(HWND window, UINT_PTR timer);

}  // namespace quillon

// Pictures from Explorer: the ones named on the command line, and a second start handing
// its pictures to the window already open on the same program folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillon {

// The files and folders named on the command line that exist, as full paths, in order.
std::vector<std::wstring> CommandLinePaths();

// Hands the paths to a Quillon window open on this program folder and brings that window
// forward; false when there is none or it did not take them.
bool HandToRunningWindow(const std::vector<std::wstring>& paths);

// Marks the main window as the one a second start on this program folder hands its pictures
// to; the mark goes with UnmarkProgramWindow when the window does.
void MarkProgramWindow(HWND window);
void UnmarkProgramWindow(HWND window);

// Keeps pictures handed to the program, in place of any that still wait, until they can go
// into the slots.
void KeepHandedPictures(const std::vector<std::wstring>& paths);

// Starts decoding the first picture that waits, while the window is made and a script is
// chosen, so that it shows as soon as it can be placed. Needs the picture engine started.
void DecodeFirstHandedPictureAhead();

// Puts the pictures that wait into the slots of the chosen script. Without a chosen script
// the status line asks for one; while the script takes none, a run goes or a dialog is open
// they go on waiting.
void PlaceHandedPictures(HWND window);

// The window's timer; true when it was the one PlaceHandedPictures set to try again.
bool OnHandedPicturesTimer(HWND window, UINT_PTR timer);

// A second start's pictures arriving by WM_COPYDATA; true when they were ours to take.
bool OnHandedPictures(HWND window, const COPYDATASTRUCT* data);

}  // namespace quillon

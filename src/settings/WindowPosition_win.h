// The main window's position, kept between runs in the local application-data folder.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The user's local application-data folder without a trailing backslash, created when it
// is missing; empty when the system names none.
std::string LocalAppDataFolder();

// That folder, a backslash, and the program's name with ".pos".
std::string PositionFilePath();

// Writes the window's top-left corner to the position file, unless it is minimised.
void SaveWindowPosition(HWND window);

// Moves the window to the stored corner, keeping its size and Z order. Without a file, or
// when the stored title bar would lie on no monitor, the window stays where it is.
void RestoreWindowPosition(HWND window);

}  // namespace quillon

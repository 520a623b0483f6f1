// The main window's position, kept between runs in the local application-data folder.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings/WindowPosition.h"

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

// That folder, a backslash, and the program's name with ".size".
std::string SizeFilePath();

// Writes the window's client size, given in the 96-DPI layout's pixels, and whether it is
// maximised, to the size file beside the position file.
void SaveWindowSize(const KeptSize& size);

// The size the file keeps; nothing without a file.
std::optional<KeptSize> ReadWindowSize();

}  // namespace quillon

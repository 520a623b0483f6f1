// The steps of start-up and shut-down, each named so that WinMain reads as their order.
#pragma once

namespace quillon {

// True on the Windows NT family, the only one the program runs on.
bool IsWindowsNt();

// Builds the popup menu and its two submenus (never destroyed).
void BuildMenus();

// Runs the catalogue scan of the program folder into the application state.
void ScanProgramFolder();

// Scans the program folder again while the program runs; true when the catalogue changed.
bool RescanProgramFolder();

// Creates the main window, runs its event loop and returns its result when it closes.
int CreateMainWindow();

}  // namespace quillon

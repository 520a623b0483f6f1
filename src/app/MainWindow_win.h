// The main window's controls as the rest of the program reaches them, and a way to build
// the window inside another program's message loop.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Reads a control's text (ANSI, converted at the call).
std::string ControlText(int id);

// Builds the main window exactly as the program does, but modeless: the caller runs the
// message loop and destroys the window. For tests and tools that drive the real window in
// their own process.
HWND CreateMainWindowModeless();

}  // namespace quillon

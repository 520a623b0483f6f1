// Where on the desktop a window may be placed: the work area of one monitor.
#pragma once

#include <windows.h>

#include "base/PixelGeometry.h"

namespace quillon {

// The work area (the monitor less the task bar and docked bars), in screen pixels, of the
// monitor that shows most of window, or is nearest to it; a minimised window counts where
// it will come back. For a null window, the primary monitor's. Empty when the system tells
// nothing.
PixelRect WorkAreaNear(HWND window);

// Moves a window to the centre of the work area WorkAreaNear gives for it.
void CentreOnWorkArea(HWND window);

// The dots per inch a window is drawn at: its monitor's where the system scales per monitor
// (Windows 10 1607 and later), else the system's.
int DpiOfWindow(HWND window);

}  // namespace quillon

// Finding ImageMagick at start-up: its version and folder from the registry, and the check
// the main window runs once its event loop is going.
#pragma once

#include <windows.h>

#include <string>

#include "execution/ImageMagickTools_win.h"

namespace quillon {

// The installed version as ImageMagick's installer registers it; empty when there is none.
std::string ReadImageMagickVersion();

// The check, when the main window's private message arrives: with ImageMagick 6 or later the
// version goes into the corner of the output area; otherwise the user is told, may open the
// download page, and the window's event loop ends with 0.
INT_PTR OnCheckImageMagick(HWND window);

}  // namespace quillon

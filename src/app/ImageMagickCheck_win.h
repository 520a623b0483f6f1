// Finding ImageMagick at start-up: its version and folder from the registry, and the check
// the main window runs once its event loop is going.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The installed version as ImageMagick's installer registers it; empty when there is none.
std::string ReadImageMagickVersion();

// The folder of ImageMagick's tools as its installer registers it; empty when unnamed.
std::string ReadImageMagickBinPath();

// Makes folder the first entry of this process's PATH, which the programs it starts inherit;
// nothing changes when folder is empty or already first.
void PutFolderFirstOnPath(const std::string& folder);

// Puts ImageMagick's registered folder first on PATH, so that a script's "convert" reaches
// ImageMagick and not the disk tool of the same name that Windows carries.
void PutImageMagickFirstOnPath();

// The check, when the main window's private message arrives: with ImageMagick 6 or later the
// version goes into the corner of the output area; otherwise the user is told, may open the
// download page, and the window's event loop ends with 0.
INT_PTR OnCheckImageMagick(HWND window);

}  // namespace quillon

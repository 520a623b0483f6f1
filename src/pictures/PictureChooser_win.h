// The picture chooser: the system's open-file dialog, filtered to picture formats.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillon {

// Asks over `owner`. The full path of the picture the user chose, or empty text when the dialog was
// cancelled or failed. A name the code page cannot write comes back marked with '?' (and is then
// refused by the loader rather than opened under another name).
std::string ChoosePicture(HWND owner);

// Asks over owner for one or more pictures; the full paths chosen, none when cancelled.
std::vector<std::string> ChoosePictures(HWND owner);

}  // namespace quillon

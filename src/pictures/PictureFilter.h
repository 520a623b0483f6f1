// The file-type list of the picture chooser.
#pragma once

#include <string>

namespace quillon {

// The chooser's filter in the form the open-file dialog takes: for each entry its
// description, NUL, its pattern, NUL; the whole list closed by one more NUL. The first
// entry, "All Images", combines every other entry's patterns.
std::string PictureFilterText();

// How many entries the filter offers.
int PictureFilterEntryCount();

}  // namespace quillon

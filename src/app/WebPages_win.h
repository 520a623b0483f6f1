// Opening the program's pages in the user's browser (or, for a file, its viewer).
#pragma once

#include <windows.h>

#include <string_view>

namespace quillon {

// Asks the shell to open page (one of the WebPages.h names) on behalf of owner. Whether a
// browser comes up is the shell's business: a failure shows nothing.
void OpenWebPage(HWND owner, std::string_view page);

}  // namespace quillon

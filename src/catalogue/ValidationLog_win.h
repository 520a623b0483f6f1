// The validation log as a file the user can read.
#pragma once

#include <windows.h>

namespace quillon {

// Writes the validation log and one more CR LF to "Xml_Log.txt" in the program folder and
// opens it for editing without waiting. Returns the editor's process (the caller owns it),
// or null when no editor was started.
HANDLE ShowValidationLog();

}  // namespace quillon

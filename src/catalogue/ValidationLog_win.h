// The validation log as a file the user can read.
#pragma once

#include <string>

namespace quillon {

// Writes the log and one more CR LF to "Xml_Log.txt" in `folder` (ending in a backslash),
// replacing any earlier file, and returns the file's path. A file that cannot be written
// leaves whatever was there.
std::string WriteValidationLog(const std::string& folder, const std::string& log);

}  // namespace quillon

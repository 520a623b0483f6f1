// Reaching the script folder on the platform at hand (ScriptFolder_win.cpp on Windows,
// ScriptFolder_posix.cpp elsewhere).
#pragma once

#include <optional>
#include <string>

#include "catalogue/Catalogue.h"

namespace quillon {

// The folder separator of the platform's paths.
char PathSeparator();

// The full path of an existing folder, ending in one separator; nothing when the path does
// not name a folder.
std::optional<std::string> ResolveFolder(const std::string& folder);

// A ScriptFolder that lists and opens real files under folderPath (full, one trailing
// separator). Hidden and system files, folders, and names whose extension is not ".xml"
// in any letter case are not listed.
ScriptFolder OpenScriptFolder(const std::string& folderPath);

}  // namespace quillon

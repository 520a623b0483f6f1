// Where the running program lies: every file it reads or writes by a fixed name is there.
#pragma once

#include <string>

namespace quillon {

// The folder of the running executable, ending in a backslash.
const std::string& ProgramFolder();

// Makes ProgramFolder() name another folder (ending in a backslash), for tests and tools
// that run the main window inside their own process; an empty text undoes it.
void SetProgramFolderForTesting(const std::string& folder);

// The running executable's own full path, as the platform reports it.
const std::string& ProgramPath();

}  // namespace quillon

// Starting files through the shell and waiting for the started program without freezing
// the window.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Starts file through the shell with the show command given. The exact text "edit" is used
// as the verb; any other text is passed as parameters to the file type's default action.
// Returns the started process (the caller owns it), or null when nothing was started.
HANDLE ShellRun(const std::string& file, const std::string& verbOrParameters, int showCommand);

// Waits until process has ended while the thread's window messages keep being handled, at
// most one per pass, through the active dialog so that keyboard navigation works. A null
// handle returns after one pass. The handle is closed and process set to null.
void WaitForProcess(HANDLE& process);

// Closes the handle once and sets process to null; a null handle is left alone.
void ReleaseProcess(HANDLE& process);

}  // namespace quillon

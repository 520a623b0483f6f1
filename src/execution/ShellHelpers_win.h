// Starting files through the shell and waiting for the started program without freezing
// the window.
#pragma once

#include <windows.h>

#include <string>

#include "base/Handles_win.h"

namespace quillon {

// Starts file through the shell with the show command given. The exact text "edit" is used
// as the verb; any other text is passed as parameters to the file type's default action.
// Returns the started process, or an empty owner when nothing was started.
UniqueHandle ShellRun(const std::string& file, const std::string& verbOrParameters,
                      int showCommand);

// Waits until process has ended while the thread's window messages keep being handled, at
// most one per pass, through the active dialog so that keyboard navigation works. A null
// handle returns after one pass. The handle is closed and process set to null. True when the
// wait ended because the object signalled (for a mutex: this thread now owns it).
bool WaitForProcess(HANDLE& process);

// The same for an owned handle, which is closed and emptied on return.
inline bool WaitForProcess(UniqueHandle& process) {
    HANDLE raw = process.release();
    return WaitForProcess(raw);
}

// Closes the handle once and sets process to null; a null handle is left alone.
void ReleaseProcess(HANDLE& process);

}  // namespace quillon

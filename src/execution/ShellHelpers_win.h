// Starting files through the shell and waiting for the started program without freezing
// the window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles_win.h"
#include "execution/BatchScript.h"

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

// CreateProcessW with these arguments, tried once more a moment later when the system refuses
// the start (Wine does now and then under load). False with GetLastError set when both fail.
bool StartProcessTwice(const std::wstring& program, const std::wstring& commandLine,
                       bool inheritHandles, unsigned long flags, void* environment,
                       const wchar_t* folder, STARTUPINFOW& startup, PROCESS_INFORMATION& info);

// A command interpreter started for a run, or the system's error code when none started.
struct StartedInterpreter {
    UniqueHandle process;
    UniqueHandle thread;
    unsigned long error = 0;
};

// Starts the command interpreter (ComSpec, else the system's cmd.exe) as
// "interpreter" /d /c command: hidden, with no console window, in folder, with this process's
// environment and the variables added, and suspended when asked, so that the caller can put
// it in a job first. /d keeps an AutoRun command the user registered for consoles out of the
// run. ImageMagick is put first on PATH before the first start.
StartedInterpreter StartInterpreter(const std::wstring& command, const std::wstring& folder,
                                    const std::vector<BatchVariable>& variables, bool suspended);

// A job object whose processes are ended when its last handle closes, so that they end with
// the program that holds it, however it ends. Empty when the system gives none.
UniqueHandle KillOnCloseJob();

// Lets the processes of such a job outlive it: for what a script started to stay open (a
// viewer) once the script itself has ended.
void KeepOnClose(HANDLE job);

// Ends process and every process it started, and theirs in turn, as far as the system still
// lists them by their parent: for when a job object cannot hold them.
void EndProcessTree(HANDLE process);

}  // namespace quillon

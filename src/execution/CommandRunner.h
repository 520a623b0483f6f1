// The command runner: runs one command line hidden through the command interpreter and
// returns what it printed. The text building lives here; the files and the process in
// CommandRunner_win.cpp.
#pragma once

#include <string>
#include <vector>

#include "execution/BatchScript.h"

namespace quillon {

// The folder that holds the runner's two files: the given folder, or the TEMP value when
// none is given, with every trailing backslash replaced by exactly one.
std::string RunnerWorkFolder(const std::string& givenFolder, const std::string& tempValue);

// The four lines of "temp.bat", each ended by CR LF: echo off, the work folder's drive,
// a change into the quoted work folder, and the command with both streams sent to
// "dump.txt".
std::string RunnerBatchText(const std::string& workFolder, const std::string& commandLine);

// The captured output less every trailing CR and LF.
std::string TrimTrailingLineEnds(std::string output);

// Why a command did not run: a file the run needs could not be written, the command
// interpreter could not be started, or the folder the run was to work in is gone.
enum class RunFault { kNone, kUnwritableFile, kNoInterpreter, kNoFolder };

struct CommandResult {
    RunFault fault = RunFault::kNone;
    std::string output;     // the captured output less trailing line ends
    std::string faultPath;  // with a fault: the file or folder it concerns
    std::string reason;     // with kNoInterpreter: the system's words for the refusal
};

// What the user is told about a fault (lines separated by single CRs); reason, when given,
// is the system's own word on it.
std::string RunFaultMessage(RunFault fault, const std::string& path,
                            const std::string& reason = std::string());

// Runs commandLine from workFolder (empty: the TEMP folder), with variables added to the
// interpreter's environment, and returns its output; while it runs, the thread's window
// messages keep being handled. The command line is written as given, so it must already be
// in the console's code page. Only a "temp.bat" written whole by this call is run, and only
// output this run wrote is returned.
CommandResult RunCommand(std::string commandLine, std::string workFolder,
                         const std::vector<BatchVariable>& variables = {});

}  // namespace quillon

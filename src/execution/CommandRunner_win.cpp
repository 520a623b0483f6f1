// The command runner's files and process; the texts come from CommandRunner.cpp.
#include "execution/CommandRunner.h"

#include <optional>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "execution/ConsoleText_win.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr char kBatchName[] = "temp.bat";
constexpr char kDumpName[] = "dump.txt";

// Read wide and narrowed here: Wine's narrow call loses letters that the code page has.
std::string TempValue() {
    const DWORD needed = ::GetEnvironmentVariableW(L"TEMP", nullptr, 0);
    if (needed == 0)
        return std::string();
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"TEMP", value.data(), needed);
    value.resize(length < needed ? length : 0);
    return NarrowToAnsiMarked(value);
}

}  // namespace

CommandResult RunCommand(std::string commandLine, std::string workFolder,
                         const std::vector<BatchVariable>& variables) {
    const std::string folder = RunnerWorkFolder(workFolder, workFolder.empty() ? TempValue() : "");
    const std::string batchPath = folder + kBatchName;
    const std::string dumpPath = folder + kDumpName;

    // An old dump would pass for this run's output if the run wrote none.
    if (!DeleteFileAnsi(dumpPath))
        return {RunFault::kUnwritableFile, "", dumpPath, ""};
    // The folder is written as the console reads it; the command line comes so written. A
    // folder it cannot name (a user name in another script, without a short form) is taken
    // as the batch file's own, which the interpreter knows as it is.
    const std::optional<std::string> consoleFolder = ConsoleFolder(folder);
    if (!WriteWholeFile(batchPath, RunnerBatchText(consoleFolder ? *consoleFolder
                                                                 : folder.substr(0, 2) + "%~p0",
                                                   commandLine))) {
        DeleteFileAnsi(batchPath);  // a part written is no batch to leave behind
        return {RunFault::kUnwritableFile, "", batchPath, ""};
    }
    // Started in the work folder, the interpreter finds the batch by its name alone. With no
    // console of its own, it would not hear the Ctrl+C or the closed console that ends
    // quillon-cli: the job ends it and what it started with this program.
    const UniqueHandle job = KillOnCloseJob();
    StartedInterpreter started =
        StartInterpreter(WidenAnsi(kBatchName), WidenAnsi(folder), variables, true);
    const bool ran = static_cast<bool>(started.process);
    if (ran && job)
        ::AssignProcessToJobObject(job.get(), started.process.get());
    ::ResumeThread(started.thread.get());
    WaitForProcess(started.process);
    if (job)
        KeepOnClose(job.get());
    DeleteFileAnsi(batchPath);
    if (!ran)
        return {RunFault::kNoInterpreter, "", batchPath, SystemMessage(started.error)};

    const std::string output = ReadFileBytes(dumpPath);
    DeleteFileAnsi(dumpPath);
    return {RunFault::kNone, TrimTrailingLineEnds(output), "", ""};
}

}  // namespace quillon

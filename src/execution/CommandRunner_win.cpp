// The command runner's files and process; the texts come from CommandRunner.cpp.
#include "execution/CommandRunner.h"

#include <cstdio>
#include <memory>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "execution/ConsoleText_win.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr char kBatchName[] = "temp.bat";
constexpr char kDumpName[] = "dump.txt";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

UniqueFile OpenFile(const std::string& path, const wchar_t* mode) {
    return UniqueFile(::_wfopen(WidenAnsi(path).c_str(), mode));
}

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

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    if (UniqueFile file = OpenFile(path, L"wb"))
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    UniqueFile file = OpenFile(path, L"rb");
    if (!file)
        return bytes;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0)
        bytes.append(chunk, got);
    return bytes;
}

void DeleteFileAnsi(const std::string& path) {
    ::DeleteFileW(WidenAnsi(path).c_str());
}

}  // namespace

std::string RunCommand(std::string commandLine, std::string workFolder) {
    const std::string folder = RunnerWorkFolder(workFolder, workFolder.empty() ? TempValue() : "");
    const std::string batchPath = folder + kBatchName;
    const std::string dumpPath = folder + kDumpName;

    // The folder is written as the console reads it; the command line comes so written. A
    // folder it cannot name (a user name in another script, without a short form) is taken
    // as the batch file's own, which the interpreter knows as it is.
    const std::optional<std::string> consoleFolder = ConsoleFolder(folder);
    WriteWholeFile(batchPath,
                   RunnerBatchText(consoleFolder ? *consoleFolder : folder.substr(0, 2) + "%~p0",
                                   commandLine));
    HANDLE process = ShellRun(batchPath, "", SW_HIDE);
    WaitForProcess(process);
    DeleteFileAnsi(batchPath);

    const std::string output = ReadWholeFile(dumpPath);
    DeleteFileAnsi(dumpPath);
    return TrimTrailingLineEnds(output);
}

}  // namespace quillon

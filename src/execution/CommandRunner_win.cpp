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

std::string TempValue() {
    const DWORD needed = ::GetEnvironmentVariableA("TEMP", nullptr, 0);
    if (needed == 0)
        return std::string();
    std::string value(needed, '\0');
    const DWORD length = ::GetEnvironmentVariableA("TEMP", value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
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

    // The folder is written as the console reads it; the command line comes so written.
    WriteWholeFile(batchPath, RunnerBatchText(ConsoleFolder(folder).value_or(folder), commandLine));
    HANDLE process = ShellRun(batchPath, "", SW_HIDE);
    WaitForProcess(process);
    DeleteFileAnsi(batchPath);

    const std::string output = ReadWholeFile(dumpPath);
    DeleteFileAnsi(dumpPath);
    return TrimTrailingLineEnds(output);
}

}  // namespace quillon

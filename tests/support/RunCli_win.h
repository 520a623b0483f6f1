// The real quillon-cli.exe run from a test, with what it printed and returned.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

namespace quillon::testing {

struct CliResult {
    long exitCode = -1;  // -1 when it could not start or did not end in time
    std::string out;
    std::string err;
};

// Runs quillon-cli.exe to its end with both output streams in files in captureFolder (a pipe
// can be held open by the command interpreter the run starts); whileRunning gets its process
// id.
CliResult RunCli(const std::wstring& arguments, const std::filesystem::path& captureFolder,
                 const std::function<void(DWORD)>& whileRunning = nullptr);

// A path in double quotes, as one argument.
std::wstring Quoted(const std::filesystem::path& path);

}  // namespace quillon::testing

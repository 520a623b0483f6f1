#include "support/RunCli_win.h"

#include <cstdio>

#include "base/Handles_win.h"
#include "support/TempFolder.h"
#include "support/WinTestSupport_win.h"

namespace quillon::testing {

namespace {

namespace fs = std::filesystem;

// ImageMagick through the shims is slow to start under Wine.
constexpr DWORD kRunLimitMs = 120000;

UniqueHandle InheritableFile(const fs::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return UniqueHandle(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

CliResult RunCliOnce(const std::wstring& arguments, const fs::path& captureFolder,
                     const std::function<void(DWORD)>& whileRunning) {
    CliResult result;
    const fs::path outPath = captureFolder / L"cli-out.txt";
    const fs::path errPath = captureFolder / L"cli-err.txt";
    {
        UniqueHandle out = InheritableFile(outPath);
        UniqueHandle err = InheritableFile(errPath);
        if (!out || !err) {
            result.err =
                "RunCli: cannot make the capture files, error " + std::to_string(::GetLastError());
            return result;
        }
        const std::wstring exe = WindowsPath(RequiredEnvironment("QUILLON_CLI"));
        const std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        PROCESS_INFORMATION info{};
        if (!StartInheriting(exe, commandLine, startup, info)) {
            result.err =
                "RunCli: cannot start quillon-cli, error " + std::to_string(::GetLastError());
            return result;
        }
        ::CloseHandle(info.hThread);
        UniqueHandle process(info.hProcess);
        if (whileRunning)
            whileRunning(info.dwProcessId);
        if (::WaitForSingleObject(process.get(), kRunLimitMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.get(), 99);
            ::WaitForSingleObject(process.get(), 5000);
            return result;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(process.get(), &code);
        result.exitCode = static_cast<long>(code);
    }
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return result;
}

}  // namespace

CliResult RunCli(const std::wstring& arguments, const fs::path& captureFolder,
                 const std::function<void(DWORD)>& whileRunning) {
    CliResult result = RunCliOnce(arguments, captureFolder, whileRunning);
    // Wine's cmd says "Can't recognize" also for a program it found but Wine would not start
    // (now and then, with many programs starting); a user would run the script again.
    if (!whileRunning && result.exitCode == 2 &&
        (result.out + result.err).find("Can't recognize '") != std::string::npos) {
        std::printf("note: a program of the run did not start; running it again\n");
        result = RunCliOnce(arguments, captureFolder, whileRunning);
    }
    return result;
}

std::wstring Quoted(const fs::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

}  // namespace quillon::testing

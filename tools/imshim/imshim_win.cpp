// A stand-in for one ImageMagick tool under Wine: copied as convert.exe, identify.exe and so
// on, it runs the Linux system's tool of its own name with the same arguments in the current
// folder, hands on what the tool printed to standard output and standard error, and ends
// with the tool's exit code. Windows paths among the arguments are translated.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ShimRules.h"

namespace {

using SpawnFunction = LONG(CDECL*)(char* const* argv, int wait);
using UnixNameFunction = char*(CDECL*)(const wchar_t* windowsName);

constexpr int kFailureExitCode = 127;

// Wine's own services, looked up at run time so the program also loads on Windows.
struct WineServices {
    SpawnFunction spawn = nullptr;
    UnixNameFunction unixName = nullptr;
};

// A procedure of a loaded module as the type it really has (passing through the generic
// procedure type, which any procedure type may be converted from).
template <typename Function>
Function FindProcedure(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    if (handle == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(handle, name)));
}

WineServices FindWineServices() {
    WineServices services;
    services.spawn = FindProcedure<SpawnFunction>(L"ntdll.dll", "__wine_unix_spawnvp");
    services.unixName = FindProcedure<UnixNameFunction>(L"kernel32.dll", "wine_get_unix_file_name");
    return services;
}

std::string ToUtf8(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                          length, nullptr, nullptr);
    return text;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

// The Linux name of a Windows path; empty when Wine cannot say.
std::string UnixName(const WineServices& wine, const std::wstring& windowsPath) {
    char* name = wine.unixName(windowsPath.c_str());
    if (name == nullptr)
        return std::string();
    std::string result(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

std::wstring CurrentFolder() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    folder.resize(::GetCurrentDirectoryW(needed, folder.data()));
    return folder;
}

std::string TranslateArgument(const WineServices& wine, const std::wstring& wide) {
    const std::string argument = ToUtf8(wide);
    const auto parts = imshim::SplitPathArgument(argument);
    if (!parts)
        return argument;
    if (parts->absolute) {
        const std::string unixPath = UnixName(wine, FromUtf8(parts->path));
        return unixPath.empty() ? argument : parts->prefix + unixPath;
    }
    // A relative name of an existing file, or of a new file in an existing folder.
    const std::wstring path = FromUtf8(parts->path);
    const std::wstring folder = FromUtf8(imshim::FolderOf(parts->path));
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
        (!folder.empty() && ::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)) {
        return parts->prefix + imshim::WithForwardSlashes(parts->path);
    }
    return argument;
}

// A fresh empty file in the Windows temporary folder; empty when none can be made.
std::wstring NewTempFile() {
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t file[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, folder) == 0 ||
        ::GetTempFileNameW(folder, L"ims", 0, file) == 0)
        return std::wstring();
    return file;
}

// True when both handles write into the same file, as "> log 2>&1" makes them.
bool SameFile(HANDLE first, HANDLE second) {
    if (first == second)
        return true;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    if (!::GetFileInformationByHandle(first, &a) || !::GetFileInformationByHandle(second, &b))
        return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// Copies a temporary file's bytes to a standard handle and deletes the file.
void Relay(const std::wstring& file, HANDLE target) {
    if (file.empty())
        return;
    HANDLE source = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source != INVALID_HANDLE_VALUE) {
        char buffer[65536];
        DWORD got = 0;
        while (::ReadFile(source, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            DWORD written = 0;
            if (target == nullptr || target == INVALID_HANDLE_VALUE ||
                !::WriteFile(target, buffer, got, &written, nullptr)) {
                break;
            }
        }
        ::CloseHandle(source);
    }
    ::DeleteFileW(file.c_str());
}

void Complain(const std::string& text) {
    const std::string line = text + "\r\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                &written, nullptr);
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** wideArguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wideArguments == nullptr || count < 1)
        return kFailureExitCode;
    std::vector<std::wstring> arguments(wideArguments + 1, wideArguments + count);
    ::LocalFree(wideArguments);

    wchar_t programPath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, programPath, MAX_PATH);
    const auto tool = imshim::ToolNameFromProgramPath(ToUtf8(programPath));
    if (!tool) {
        Complain(
            "imshim: copy this program under the name of an ImageMagick tool, such as "
            "convert.exe");
        return kFailureExitCode;
    }
    const WineServices wine = FindWineServices();
    if (wine.spawn == nullptr || wine.unixName == nullptr) {
        Complain(*tool +
                 ": this stand-in runs the Linux system's ImageMagick under Wine only; "
                 "on Windows install ImageMagick itself");
        return kFailureExitCode;
    }

    const std::string folder = UnixName(wine, CurrentFolder());
    if (folder.empty()) {
        Complain(*tool + ": the current folder has no Linux name");
        return kFailureExitCode;
    }
    std::vector<std::string> toolArguments;
    for (const std::wstring& argument : arguments)
        toolArguments.push_back(TranslateArgument(wine, argument));

    // The Linux tool writes into files that are then handed to this program's own handles:
    // its descriptors are not the handles a Windows parent gave this program.
    const HANDLE standardOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE standardError = ::GetStdHandle(STD_ERROR_HANDLE);
    const bool joined = SameFile(standardOutput, standardError);
    const std::wstring outputFile = NewTempFile();
    const std::wstring errorFile = joined || outputFile.empty() ? std::wstring() : NewTempFile();
    imshim::OutputFiles files;
    if (!outputFile.empty())
        files.output = UnixName(wine, outputFile);
    if (!errorFile.empty())
        files.error = UnixName(wine, errorFile);
    if (!joined && files.error.empty())
        files.output.clear();  // both streams go straight through rather than one lost

    std::vector<std::string> command = imshim::LinuxCommand(folder, files, *tool, toolArguments);
    std::vector<char*> argv;
    for (std::string& part : command)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    const LONG result = wine.spawn(argv.data(), 1);

    Relay(files.output.empty() ? std::wstring() : outputFile, standardOutput);
    Relay(files.error.empty() ? std::wstring() : errorFile, standardError);
    // Files made but not used are removed as well.
    ::DeleteFileW(outputFile.c_str());
    ::DeleteFileW(errorFile.c_str());

    if (result < 0)
        Complain(*tool + ": the Linux shell could not be started");
    return imshim::ShimExitCode(result);
}

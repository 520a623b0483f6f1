#include "execution/ImageMagickTools_win.h"

#include <vector>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "base/ProgramFolder_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/Registry_win.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr wchar_t kPathVariable[] = L"PATH";
constexpr int kFailureExitCode = 1;

std::wstring ProcessPath() {
    const DWORD size = ::GetEnvironmentVariableW(kPathVariable, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(size);
    const DWORD length = ::GetEnvironmentVariableW(kPathVariable, buffer.data(), size);
    return length < size ? std::wstring(buffer.data(), length) : std::wstring();
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A standard handle as a child can inherit it. Duplicating is what makes any handle (a
// console's too) inheritable, whatever the handle this program was given.
UniqueHandle InheritableStandardHandle(DWORD which) {
    const HANDLE own = ::GetStdHandle(which);
    HANDLE copy = nullptr;
    if (own != nullptr && own != INVALID_HANDLE_VALUE)
        ::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE,
                          DUPLICATE_SAME_ACCESS);
    return UniqueHandle(copy);
}

}  // namespace

void WriteErrorLine(const std::string& line) {
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                &written, nullptr);
}

std::string ReadImageMagickBinPath() {
    return GetRegistryValue(HKEY_LOCAL_MACHINE, kImageMagickKey, "BinPath");
}

ImageMagickPrograms FindImageMagickPrograms(const std::string& folder) {
    ImageMagickPrograms found;
    if (folder.empty())
        return found;
    std::wstring base = WidenAnsi(folder);
    if (base.back() != L'\\')
        base += L'\\';
    found.magick = IsFile(base + WidenAnsi(kMagickProgram));
    for (std::string_view name : kLegacyToolNames) {
        if (IsFile(base + WidenAnsi(name) + L".exe"))
            ++found.legacyTools;
    }
    return found;
}

void PutImageMagickFirstOnPath() {
    const std::string binPath = ReadImageMagickBinPath();
    const ImageMagickPrograms programs = FindImageMagickPrograms(binPath);
    const std::wstring legacyNames = NeedsLegacyNames(programs.magick, programs.legacyTools)
                                         ? WidenAnsi(ProgramFolder() + kLegacyNamesFolder)
                                         : std::wstring();
    const std::wstring path = ProcessPath();
    const std::wstring wanted = ImageMagickSearchPath(path, WidenAnsi(binPath), legacyNames);
    if (wanted != path)
        ::SetEnvironmentVariableW(kPathVariable, wanted.c_str());
}

int RunMagickFor(std::wstring_view magickPath, std::string_view toolArgument,
                 std::wstring_view commandLine) {
    const std::wstring program(magickPath);
    const std::wstring line = MagickCommandLine(magickPath, toolArgument, commandLine);
    // The same three streams, so that what magick reads and prints goes where ours would.
    const UniqueHandle input = InheritableStandardHandle(STD_INPUT_HANDLE);
    const UniqueHandle output = InheritableStandardHandle(STD_OUTPUT_HANDLE);
    const UniqueHandle error = InheritableStandardHandle(STD_ERROR_HANDLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = error.get();
    PROCESS_INFORMATION info{};
    if (!StartProcessTwice(program, line, true, 0, nullptr, nullptr, startup, info)) {
        WriteErrorLine("ImageMagick's " + NarrowToAnsiMarked(program) +
                       " could not be started (error " + std::to_string(::GetLastError()) + ")");
        return kFailureExitCode;
    }
    UniqueHandle thread(info.hThread);
    UniqueHandle process(info.hProcess);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = kFailureExitCode;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

}  // namespace quillon

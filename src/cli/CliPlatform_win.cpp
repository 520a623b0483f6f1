// quillon-cli on Windows: the window's own picture decoder, console encoding and run.
#include "cli/CliPlatform.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>

#include <windows.h>

#include <shellapi.h>

#include "base/AnsiText_win.h"
#include "base/FullPath_win.h"
#include "execution/ConsoleText_win.h"
#include "execution/ExecuteScript_win.h"
#include "base/Text.h"
#include "execution/PictureReduction_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/PictureFilter.h"

namespace quillon::cli {

namespace {

struct LocalFreer {
    void operator()(LPWSTR* memory) const { ::LocalFree(memory); }
};

}  // namespace

std::vector<std::optional<std::string>> CommandLineArguments(int, char**) {
    // The runtime's narrow arguments put look-alike letters in place of the characters the
    // code page lacks, which would name another file: the wide ones are narrowed exactly.
    std::vector<std::optional<std::string>> arguments;
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreer> wide{::CommandLineToArgvW(::GetCommandLineW(), &count)};
    if (!wide)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(NarrowToAnsi(wide.get()[i]));
    return arguments;
}

void UseBinaryOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
}

void WriteText(std::string_view text, bool toError) {
    std::FILE* stream = toError ? stderr : stdout;
    const HANDLE handle = ::GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    // A console shows characters, whatever its code page: bytes would show as that page's.
    if (::GetFileType(handle) == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = WidenAnsi(text);
        DWORD written = 0;
        if (::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written,
                            nullptr))
            return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
}

std::string UserText(std::string_view bytes) {
    return NarrowToAnsiMarked(WidenUserText(bytes));
}

std::optional<std::string> FullPath(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    const std::optional<std::wstring> full = FullPathOf(WidenAnsi(path));
    return full ? NarrowToAnsi(*full) : std::nullopt;
}

std::optional<PixelSize> PictureFileSize(const std::string& fullPath) {
    static const bool started = (StartPictureEngine(), true);
    (void)started;
    // What GDI+ cannot read, ImageMagick may: the scripts are ImageMagick's anyway.
    const std::optional<PixelSize> decoded = DecodedPictureSize(fullPath);
    if (decoded || !NeedsImageMagickToRead(FileNameOf(fullPath)))
        return decoded;
    return ImageMagickPictureSize(fullPath);
}

std::optional<std::string> EncodeBatchName(std::string_view name) {
    return ToConsoleText(name);
}

bool RunsScripts() {
    return true;
}

RunResult RunJob(const ScriptJob& job) {
    ScriptRun run;
    run.body = job.script.body;
    run.eraseTemp = job.script.eraseTemp == 1;
    run.settings = job.settings;
    run.pictures = job.pictures;
    run.programFolder = job.scriptFolder;
    run.outputFolder = job.outputFolder;
    return RunScript(run);
}

}  // namespace quillon::cli

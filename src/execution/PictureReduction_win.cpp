#include "execution/PictureReduction_win.h"

#include <atomic>
#include <vector>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ImageMagickTools_win.h"
#include "execution/PictureReduction.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

// Far more than any picture takes to read; a call that runs on is stuck, not slow.
constexpr DWORD kCallTimeoutMs = 60000;
constexpr char kFolderStart[] = "quillon-reduced-";

// The installed ImageMagick's program that reads and writes pictures, and how to call its
// identify: ImageMagick 7's magick does both (identify as its first word); ImageMagick 6
// has convert.exe and identify.exe.
struct MagickPrograms {
    std::string convert;
    std::string identify;
    std::vector<std::string> identifyWord;
};

std::optional<MagickPrograms> FindMagickPrograms() {
    std::string folder = ReadImageMagickBinPath();
    if (folder.empty())
        return std::nullopt;
    if (folder.back() != '\\')
        folder += '\\';
    if (FindImageMagickPrograms(folder).magick) {
        const std::string magick = folder + kMagickProgram;
        return MagickPrograms{magick, magick, {"identify"}};
    }
    if (FileExists(folder + "convert.exe"))
        return MagickPrograms{folder + "convert.exe", folder + "identify.exe", {}};
    return std::nullopt;
}

// A scratch file for what the child prints: inherited by it, read back by us through the
// same handle, and gone when that handle closes.
UniqueHandle ScratchFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return UniqueHandle(::CreateFileW(
        WidenAnsi(path).c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

std::string ReadBack(HANDLE file) {
    constexpr DWORD kLimit = 64 * 1024;  // a report is one line; errors a few
    std::string text(kLimit, '\0');
    DWORD read = 0;
    if (::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !::ReadFile(file, text.data(), kLimit, &read, nullptr))
        read = 0;
    text.resize(read);
    return text;
}

struct CallResult {
    bool finished = false;
    DWORD exitCode = 1;
    std::string output;
    std::string errors;
};

// Runs the program straight (no command interpreter reads the names), hidden, in a job that
// ends it if it outlasts the timeout or us.
CallResult CallImageMagick(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& scratch) {
    CallResult result;
    const UniqueHandle output = ScratchFile(scratch + ".out");
    const UniqueHandle errors = ScratchFile(scratch + ".err");
    if (!output || !errors)
        return result;
    const std::wstring wideProgram = WidenAnsi(program);
    const std::wstring line = WidenAnsi(QuotedCommandLine(program, arguments));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
    PROCESS_INFORMATION info{};
    if (!StartProcessTwice(wideProgram, line, true, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                           nullptr, startup, info))
        return result;
    const UniqueHandle job = KillOnCloseJob();
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (job)
        ::AssignProcessToJobObject(job.get(), process.get());
    ::ResumeThread(thread.get());
    if (::WaitForSingleObject(process.get(), kCallTimeoutMs) != WAIT_OBJECT_0) {
        if (job)
            ::TerminateJobObject(job.get(), 1);
        else
            ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), kCallTimeoutMs);
        return result;
    }
    result.finished = true;
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    result.output = ReadBack(output.get());
    result.errors = ReadBack(errors.get());
    return result;
}

std::string ScratchName() {
    static std::atomic<unsigned> counter{0};
    return TempFolderPath() + kFolderStart + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(counter++);
}

std::optional<PixelSize> SizeWith(const MagickPrograms& programs, const std::string& input,
                                  const std::string& scratch) {
    std::vector<std::string> arguments = programs.identifyWord;
    for (std::string& argument : SizeArguments(input))
        arguments.push_back(std::move(argument));
    const CallResult call = CallImageMagick(programs.identify, arguments, scratch);
    if (!call.finished || call.exitCode != 0)
        return std::nullopt;
    const std::optional<ReportedPicture> report = ParseReport(call.output);
    return report ? std::optional<PixelSize>(report->size) : std::nullopt;
}

}  // namespace

ReducedCopies::ReducedCopies(int maxSide) : maxSide_(maxSide) {
    const std::string temp = TempFolderPath();
    if (temp.empty())
        return;
    // Numbered within the process too, so that one owner's end never takes another's copies.
    static std::atomic<unsigned> owners{0};
    folder_ = temp + kFolderStart + std::to_string(::GetCurrentProcessId()) + "-" +
              std::to_string(++owners) + "\\";
    RemoveTree(folder_);  // what an earlier process of this number may have left
    if (!CreateFolderTree(folder_))
        folder_.clear();
}

ReducedCopies::~ReducedCopies() {
    if (!folder_.empty())
        RemoveTree(folder_);
}

std::string ReducedCopies::NextName(const char* extension) {
    return folder_ + "r" + std::to_string(counter_++) + extension;
}

ImageMagickReduction ReducedCopies::Reduce(const std::string& path) {
    ImageMagickReduction reduction;
    const std::optional<std::string> input = FirstFrameInput(path);
    const std::optional<MagickPrograms> programs = FindMagickPrograms();
    if (folder_.empty() || !input || !programs || path.find('?') != std::string::npos)
        return reduction;
    const std::string copy = NextName(".png");
    const CallResult call =
        CallImageMagick(programs->convert, ReductionArguments(*input, copy, maxSide_),
                        copy.substr(0, copy.size() - 4));
    const std::optional<ReportedPicture> report =
        call.finished && call.exitCode == 0 ? ParseReport(call.output) : std::nullopt;
    if (!report || !FileExists(copy)) {
        DeleteFileAnsi(copy);
        if (call.finished)
            reduction.refusal = UnreadableFormatText(call.errors, path);
        return reduction;
    }
    reduction.size = report->size;
    // JPEG was decoded at a reduced size, which is all the report saw of it.
    if (report->format == "JPEG")
        reduction.size = SizeWith(*programs, *input, copy.substr(0, copy.size() - 4) + "-size");
    if (!reduction.size) {
        DeleteFileAnsi(copy);
        return reduction;
    }
    reduction.copyPath = copy;
    return reduction;
}

std::optional<PixelSize> ImageMagickPictureSize(const std::string& path) {
    const std::optional<std::string> input = FirstFrameInput(path);
    const std::optional<MagickPrograms> programs = FindMagickPrograms();
    if (!input || !programs || path.find('?') != std::string::npos)
        return std::nullopt;
    return SizeWith(*programs, *input, ScratchName());
}

}  // namespace quillon

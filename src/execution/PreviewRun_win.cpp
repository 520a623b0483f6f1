#include "execution/PreviewRun_win.h"

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "execution/BatchScript.h"
#include "execution/ConsoleText_win.h"
#include "execution/PictureSet.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr char kScriptName[] = "script.bat";
constexpr char kDumpName[] = "dump.txt";
constexpr wchar_t kRunnerCommand[] = L"script.bat > dump.txt 2>&1";
constexpr char kFolderStart[] = "quillon-preview-";

PreviewResult Problem(std::string why) {
    PreviewResult result;
    result.problem = std::move(why);
    return result;
}

bool Cancelled(HANDLE cancel) {
    return cancel != nullptr && ::WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0;
}

// The output's extension, dot included, so that the kept copy decodes as what it is.
std::string ExtensionOf(const std::string& path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

}  // namespace

PreviewRuns::PreviewRuns() {
    const std::string temp = TempFolderPath();
    if (temp.empty() || temp.find('?') != std::string::npos)
        return;
    // Named for the process and the owner, so that two owners never share a folder.
    static std::atomic<unsigned> owners{0};
    folder_ = temp + kFolderStart + std::to_string(::GetCurrentProcessId()) + "-" +
              std::to_string(owners++) + "\\";
    RemoveTree(folder_);  // what an earlier process of this number may have left
    if (!CreateFolderTree(folder_))
        folder_.clear();
}

PreviewRuns::~PreviewRuns() {
    if (!folder_.empty())
        RemoveTree(folder_);
}

PreviewResult PreviewRuns::Run(const PreviewRequest& request, HANDLE cancel) {
    if (folder_.empty())
        return Problem("cannot make a folder for previews under TEMP");
    if (request.pictures.empty())
        return Problem("no picture to preview");
    const unsigned number = counter_++;
    const std::string work = folder_ + "run" + std::to_string(number) + "\\";
    RemoveTree(work);
    if (!::CreateDirectoryW(WidenAnsi(work).c_str(), nullptr))
        return Problem("cannot make the preview folder " + work);
    PreviewResult result = RunIn(request, cancel, work, number);
    RemoveTree(work);
    return result;
}

PreviewResult PreviewRuns::RunIn(const PreviewRequest& request, HANDLE cancel,
                                 const std::string& work, unsigned number) {
    for (const PreviewInput& input : PreviewInputs(request.pictures)) {
        const std::wstring copy = WidenAnsi(work + input.name);
        if (!::CopyFileW(WidenAnsi(input.copy).c_str(), copy.c_str(), FALSE))
            return Problem("cannot copy " + input.copy + ": " + SystemMessage(::GetLastError()));
        ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::vector<BatchPicture> others;
    for (std::size_t i = 1; i < request.pictures.size(); ++i) {
        const PreviewPicture& picture = request.pictures[i];
        others.push_back({picture.path, picture.size.width, picture.size.height});
    }
    const PreviewPicture& first = request.pictures.front();
    const BatchPlan batch =
        JobBatch(request.body, request.eraseTemp, {first.path, first.size.width, first.size.height},
                 others, work, ToConsoleText, request.settings);
    if (!batch.unwritableName.empty())
        return Problem(FirstLines(UnwritableNameMessage(batch.unwritableName), 1));
    if (!WriteWholeFile(work + kScriptName, "@echo off\r\n" + batch.text))
        return Problem("cannot write the batch into " + work);
    const FileStamp before = StampOf(batch.outputFile);

    const UniqueHandle job = KillOnCloseJob();
    StartedInterpreter started =
        StartInterpreter(kRunnerCommand, WidenAnsi(work), batch.variables, true);
    if (!started.process)
        return Problem("cannot start the command interpreter: " + SystemMessage(started.error));
    const bool inJob = job && ::AssignProcessToJobObject(job.get(), started.process.get()) != FALSE;
    ::ResumeThread(started.thread.get());
    const HANDLE waits[] = {started.process.get(), cancel};
    ::WaitForMultipleObjects(cancel != nullptr ? 2 : 1, waits, FALSE, INFINITE);
    if (Cancelled(cancel)) {
        if (inJob)
            ::TerminateJobObject(job.get(), 1);
        else
            EndProcessTree(started.process.get());
        ::WaitForSingleObject(started.process.get(), INFINITE);
        PreviewResult result;
        result.ended = true;
        return result;
    }
    // What the script started and left running has no place in a preview.
    if (inJob)
        ::TerminateJobObject(job.get(), 0);

    const std::string printed = ReadFileBytes(work + kDumpName);
    const FileStamp after = StampOf(batch.outputFile);
    const bool written = !batch.outputFile.empty() && WrittenSince(before, after);
    if (written && after.size > 0) {
        const std::string kept =
            folder_ + "shown" + std::to_string(number) + ExtensionOf(batch.outputFile);
        if (::MoveFileExW(WidenAnsi(batch.outputFile).c_str(), WidenAnsi(kept).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
            PreviewResult result;
            result.picture = kept;
            return result;
        }
        return Problem("cannot keep the preview: " + SystemMessage(::GetLastError()));
    }
    const std::string outputName =
        batch.outputFile.size() > work.size() ? batch.outputFile.substr(work.size()) : "";
    return Problem(PreviewFailureText(printed, outputName, written));
}

}  // namespace quillon

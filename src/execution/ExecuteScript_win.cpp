#include "execution/ExecuteScript_win.h"

#include <vector>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "dialogs/MsgBoxContent.h"
#include "dialogs/MyMsgBox_win.h"
#include "dialogs/SaveDialog_win.h"
#include "execution/CommandRunner.h"
#include "execution/ConsoleText_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/QuotePath.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr char kBatchName[] = "script.bat";
constexpr char kBatchVariable[] = "QUILLON_BATCH";
constexpr char kCaption[] = "Quillon";

constexpr wchar_t kFolderQuestionTitle[] = L"Select output folder...";
constexpr wchar_t kFolderQuestionName[] = L"Produce output files in this folder";

// Holds the session's run mutex for one run. Waiting keeps the thread's window messages
// flowing, so a window whose run waits for another program's run stays usable.
class RunTurn {
  public:
    RunTurn() : mutex_(::CreateMutexW(nullptr, FALSE, kScriptRunMutexName)) {
        if (!mutex_)
            return;  // without the mutex the run goes ahead, as it always could
        HANDLE waiting = nullptr;
        if (::DuplicateHandle(::GetCurrentProcess(), mutex_.get(), ::GetCurrentProcess(), &waiting,
                              SYNCHRONIZE, FALSE, 0)) {
            owned_ = WaitForProcess(waiting);  // a wait that may end with the mutex owned
        }
    }
    ~RunTurn() {
        if (owned_)
            ::ReleaseMutex(mutex_.get());
    }
    RunTurn(const RunTurn&) = delete;
    RunTurn& operator=(const RunTurn&) = delete;

  private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

std::optional<std::string> AskOutputFolder(HWND owner, const std::string& programFolder) {
    const std::optional<std::wstring> file = AskSavePath(
        owner,
        {kFolderQuestionTitle, kFolderQuestionName, nullptr, nullptr, WidenAnsi(programFolder)});
    if (!file)
        return std::nullopt;
    // A folder the code page cannot name would be another folder once narrowed.
    const std::optional<std::string> chosen = NarrowToAnsi(*file);
    if (!chosen || chosen->find('\\') == std::string::npos)
        return std::nullopt;
    return FolderOf(*chosen);
}

}  // namespace

std::optional<std::string> ChooseOutputFolder(HWND owner, const OutputPolicy& policy,
                                              const ScriptRun& run) {
    if (std::optional<std::string> byPolicy =
            PolicyOutputFolder(policy, run.pictures, run.programFolder))
        return byPolicy;
    return AskOutputFolder(owner, run.programFolder);
}

RunResult RunScript(const ScriptRun& run) {
    RunResult result;
    BatchPlan plan = BuildBatch(TrimBlanks(run.body), run.eraseTemp, run.pictures, run.outputFolder,
                                ToConsoleText, run.settings);
    if (!plan.unwritableName.empty()) {
        result.verdict = RunVerdict::kUnwritable;
        result.refusal = UnwritableNameMessage(plan.unwritableName);
        return result;
    }
    const std::string batchPath = run.programFolder + kBatchName;
    // The runner's batch names this one; a folder the console cannot read goes by variable.
    std::string commandLine;
    if (const std::optional<std::string> consoleFolder = ConsoleFolder(run.programFolder)) {
        commandLine = QuotePath(DoublePercents(*consoleFolder + kBatchName));
    } else {
        plan.variables.push_back({kBatchVariable, batchPath});
        commandLine = std::string("\"%") + kBatchVariable + "%\"";
    }

    RunTurn turn;
    // Only a batch written whole is run: an old one left in a folder Quillon cannot write
    // would otherwise run in its place.
    CommandResult ran{RunFault::kUnwritableFile, "", batchPath, ""};
    // What lies under the output's name now, so that only a file this run wrote counts.
    const FileStamp before = StampOf(plan.outputFile);
    // A batch whose folder is gone would go on in the runner's folder, where its commands,
    // and its "del" lines, would meet other files.
    if (!FileExists(run.outputFolder))
        ran = {RunFault::kNoFolder, "", run.outputFolder, ""};
    else if (WriteWholeFile(batchPath, plan.text)) {
        if (run.beforeRun)
            run.beforeRun();
        ran = RunCommand(commandLine, "", plan.variables);
    }
    DeleteFileAnsi(batchPath);
    if (ran.fault != RunFault::kNone) {
        result.verdict = RunVerdict::kNotRun;
        result.refusal = RunFaultMessage(ran.fault, ran.faultPath, ran.reason);
        return result;
    }
    result.outputFile = plan.outputFile;
    // ImageMagick 7's notice that "convert" is an old name says nothing about the script.
    result.output = TrimTrailingLineEnds(WithoutDeprecationNotices(ran.output));
    // An older file of that name is no output of this run, and an empty one none at all.
    const FileStamp after = StampOf(result.outputFile);
    const bool written = !result.outputFile.empty() && WrittenSince(before, after);
    if (written && after.size == 0)
        DeleteFileAnsi(result.outputFile);
    result.outputMade = written && after.size > 0;

    if (result.output.empty())
        result.verdict = RunVerdict::kQuiet;
    else if (result.outputMade)
        result.verdict = RunVerdict::kWarning;
    else
        result.verdict = RunVerdict::kError;
    return result;
}

RunResult ExecuteScript(HWND owner, const ScriptRun& run) {
    const RunResult result = RunScript(run);
    // A window closed while its script ran has nobody left to tell.
    const bool shown = owner == nullptr || ::IsWindowVisible(owner);
    switch (result.verdict) {
        case RunVerdict::kQuiet:
            break;
        case RunVerdict::kWarning:
            if (shown) {
                MyMsgBox(owner,
                         result.outputFile + " is created but threw a warning:\r\r" + result.output,
                         kCaption, kMbIconWarning, "");
            }
            break;
        case RunVerdict::kError:
            if (shown)
                MyMsgBox(owner, result.output, kCaption, kMbIconError, "");
            break;
        case RunVerdict::kUnwritable:
        case RunVerdict::kNotRun:
            if (shown)
                MyMsgBox(owner, result.refusal, kCaption, kMbIconError, "");
            break;
    }
    return result;
}

}  // namespace quillon

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
#include "execution/ImageMagickTools_win.h"
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

// Gives this process's environment the batch's variables while it lives, so that the
// interpreter started for the run inherits them, and takes them away again after.
class RunVariables {
  public:
    explicit RunVariables(const std::vector<BatchVariable>& variables) {
        for (const BatchVariable& variable : variables) {
            names_.push_back(WidenAnsi(variable.name));
            ::SetEnvironmentVariableW(names_.back().c_str(), WidenAnsi(variable.value).c_str());
        }
    }
    ~RunVariables() {
        for (const std::wstring& name : names_)
            ::SetEnvironmentVariableW(name.c_str(), nullptr);
    }
    RunVariables(const RunVariables&) = delete;
    RunVariables& operator=(const RunVariables&) = delete;

  private:
    std::vector<std::wstring> names_;
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
                                ToConsoleText);
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

    // Whoever runs scripts (the window, quillon-cli) needs ImageMagick on PATH the same way.
    static const bool imageMagickOnPath = (PutImageMagickFirstOnPath(), true);
    (void)imageMagickOnPath;

    RunTurn turn;
    // Only a batch written whole is run: an old one left in a folder Quillon cannot write
    // would otherwise run in its place.
    CommandResult ran{RunFault::kUnwritableFile, "", batchPath};
    // A batch whose folder is gone would go on in the runner's folder, where its commands,
    // and its "del" lines, would meet other files.
    if (!FileExists(run.outputFolder))
        ran = {RunFault::kNoFolder, "", run.outputFolder};
    else if (WriteWholeFile(batchPath, plan.text)) {
        if (run.beforeRun)
            run.beforeRun();
        const RunVariables variables(plan.variables);
        ran = RunCommand(commandLine, "");
    }
    DeleteFileAnsi(batchPath);
    if (ran.fault != RunFault::kNone) {
        result.verdict = RunVerdict::kNotRun;
        result.refusal = RunFaultMessage(ran.fault, ran.faultPath);
        return result;
    }
    result.outputFile = plan.outputFile;
    // ImageMagick 7's notice that "convert" is an old name says nothing about the script.
    result.output = TrimTrailingLineEnds(WithoutDeprecationNotices(ran.output));
    result.outputMade = !result.outputFile.empty() && FileExists(result.outputFile);

    if (result.output.empty())
        result.verdict = RunVerdict::kQuiet;
    else if (result.outputMade)
        result.verdict = RunVerdict::kWarning;
    else
        result.verdict = RunVerdict::kError;
    return result;
}

std::string ExecuteScript(HWND owner, const ScriptRun& run) {
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
            return std::string();
    }
    return result.outputFile;
}

}  // namespace quillon

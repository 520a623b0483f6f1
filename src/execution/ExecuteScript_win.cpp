#include "execution/ExecuteScript_win.h"

#include <cstdio>
#include <memory>

#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "dialogs/MyMsgBox_win.h"
#include "dialogs/SaveDialog_win.h"
#include "execution/CommandRunner.h"
#include "execution/ConsoleText_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ImageMagickTools_win.h"
#include "execution/QuotePath.h"
#include "execution/ShellHelpers_win.h"
#include "settings/Settings_win.h"

namespace quillon {

namespace {

constexpr char kBatchName[] = "script.bat";
// One name for the whole session: every Quillon shares the TEMP folder's runner files.
constexpr wchar_t kRunMutexName[] = L"Local\\Quillon.ScriptRun";
constexpr char kCaption[] = "Quillon";
constexpr int kWarningStyle = 0x30;
constexpr int kErrorStyle = 0x10;

constexpr wchar_t kFolderQuestionTitle[] = L"Select output folder...";
constexpr wchar_t kFolderQuestionName[] = L"Produce output files in this folder";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::unique_ptr<std::FILE, FileCloser> file{::_wfopen(WidenAnsi(path).c_str(), L"wb")};
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

// Holds the session's run mutex for one run. Waiting keeps the thread's window messages
// flowing, so a window whose run waits for another program's run stays usable.
class RunTurn {
  public:
    RunTurn() : mutex_(::CreateMutexW(nullptr, FALSE, kRunMutexName)) {
        if (!mutex_)
            return;  // without the mutex the run goes ahead, as it always could
        HANDLE waiting = nullptr;
        if (::DuplicateHandle(::GetCurrentProcess(), mutex_.get(), ::GetCurrentProcess(), &waiting,
                              SYNCHRONIZE, FALSE, 0)) {
            WaitForProcess(waiting);  // a wait that ends with the mutex owned by this thread
            owned_ = true;
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

// A batch line reads "%" as the start of a variable, even inside quotes.
std::string DoublePercents(const std::string& text) {
    std::string doubled;
    for (char c : text) {
        doubled += c;
        if (c == '%')
            doubled += '%';
    }
    return doubled;
}

}  // namespace

std::optional<std::string> ChooseOutputFolder(HWND owner, int argCount, int zeroArgPolicy,
                                              int argPolicy, const std::string& programFolder,
                                              const std::string& firstPicturePath) {
    if (std::optional<std::string> byPolicy =
            PolicyOutputFolder(argCount, zeroArgPolicy, argPolicy, programFolder, firstPicturePath))
        return byPolicy;
    return AskOutputFolder(owner, programFolder);
}

RunResult RunScript(const ScriptRun& run) {
    RunResult result;
    const BatchPlan plan = BuildBatch(TrimBlanks(run.body), run.eraseTemp, run.pictures,
                                      run.outputFolder, ToConsoleText);
    const std::string batchPath = run.programFolder + kBatchName;
    const std::optional<std::string> consoleBatch = ConsoleFolder(run.programFolder);
    if (!plan.unwritableName.empty() || !consoleBatch) {
        result.verdict = RunVerdict::kUnwritable;
        result.unwritableName =
            plan.unwritableName.empty() ? run.programFolder : plan.unwritableName;
        return result;
    }
    result.outputFile = plan.outputFile;

    RunTurn turn;
    // Not checked: a batch that cannot be written makes the interpreter complain, and that
    // complaint is reported like any other output.
    WriteWholeFile(batchPath, plan.text);
    if (run.beforeRun)
        run.beforeRun();
    // Whoever runs scripts (the window, quillon-cli) needs ImageMagick on PATH the same way.
    static const bool imageMagickOnPath = (PutImageMagickFirstOnPath(), true);
    (void)imageMagickOnPath;
    // ImageMagick 7's notice that "convert" is an old name says nothing about the script.
    result.output = TrimTrailingLineEnds(WithoutDeprecationNotices(
        RunCommand(QuotePath(DoublePercents(*consoleBatch + kBatchName)), "")));
    ::DeleteFileW(WidenAnsi(batchPath).c_str());

    if (result.output.empty())
        result.verdict = RunVerdict::kQuiet;
    else if (!result.outputFile.empty() && FileExists(result.outputFile))
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
                         kCaption, kWarningStyle, "");
            }
            break;
        case RunVerdict::kError:
            if (shown)
                MyMsgBox(owner, result.output, kCaption, kErrorStyle, "");
            break;
        case RunVerdict::kUnwritable:
            if (shown)
                MyMsgBox(owner, UnwritableNameMessage(result.unwritableName), kCaption, kErrorStyle,
                         "");
            return std::string();
    }
    return result.outputFile;
}

}  // namespace quillon

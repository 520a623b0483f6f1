// quillon-cli each on Windows: gathers the set, plans it, runs it and prints one line per
// picture as it finishes.
#include "cli/EachCommand.h"

#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "catalogue/ScriptFolderAccess.h"
#include "cli/CliPlatform.h"
#include "execution/PictureSet.h"
#include "execution/PictureSetRunner_win.h"

namespace quillon::cli {

namespace {

constexpr int kAllCreated = 0;
constexpr int kSomeWarnings = 1;
constexpr int kSomeFailed = 2;
constexpr int kUsageError = 2;
constexpr int kInputError = 3;
constexpr int kMostPictures = 4;
constexpr int kMostJobs = 64;
constexpr char kLogName[] = "Quillon batch log.txt";
constexpr char kUsage[] =
    "usage: quillon-cli each [--out FOLDER] [--jobs N] SCRIPT SOURCE [PICTURE2 [PICTURE3 "
    "[PICTURE4]]]";

// Windows ends the process this long after a closed console's handler is called.
constexpr DWORD kCleanUpWaitMs = 4500;

// Set by Ctrl+C, a closed console, logging off or shutting down: the set then behaves as on
// Cancel.
HANDLE g_cancel = nullptr;
// Set once the set has ended and removed its work.
HANDLE g_ended = nullptr;

BOOL WINAPI OnConsoleBreak(DWORD event) {
    ::SetEvent(g_cancel);
    // The process ends as soon as this returns: the set must first end its scripts and remove
    // its work folders, within the time Windows allows.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::WaitForSingleObject(g_ended, kCleanUpWaitMs);
    return TRUE;
}

int Say(const std::string& message, int exitCode) {
    std::fprintf(stderr, "quillon-cli: %s\n", message.c_str());
    return exitCode;
}

// The set's pictures from SOURCE: a folder's pictures, a list file's paths or one picture.
std::optional<std::vector<std::string>> GatherSource(const std::string& source) {
    std::vector<std::string> named;
    if (source.size() > 1 && source[0] == '@') {
        const std::string listFile = source.substr(1);
        if (!OpenFile(listFile, L"rb"))
            return std::nullopt;
        named = SetFromList(ReadFileBytes(listFile));
    } else {
        const std::optional<std::string> full = FullPath(source);
        if (!full)
            return std::nullopt;
        if (IsFolder(*full)) {
            const std::string folder = full->back() == '\\' ? *full : *full + '\\';
            return SetFromFolder(folder, FileNamesIn(folder));
        }
        named.push_back(*full);
    }
    std::vector<std::string> pictures;
    for (const std::string& path : named) {
        if (std::optional<std::string> full = FullPath(path))
            pictures.push_back(*full);
    }
    return pictures;
}

bool ParseJobs(const std::string& text, int& jobs) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    jobs = std::atoi(text.c_str());
    return jobs >= 1 && jobs <= kMostJobs;
}

void PrintOutcome(const SetPlan& plan, const PictureOutcome& outcome) {
    const std::string name(FileNameOf(plan.pictures[outcome.index].path));
    std::string line;
    switch (outcome.verdict) {
        case PictureVerdict::kCreated:
            line = "created " + name;
            break;
        case PictureVerdict::kWarning:
            line = "warning " + name + ": " + FirstLines(outcome.output, 1);
            break;
        case PictureVerdict::kFailed:
            line = "failed " + name + ": " + FirstLines(outcome.output, 1);
            break;
    }
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

int EachCommand(const std::vector<std::string>& args) {
    std::size_t next = 1;
    std::optional<std::string> outFolder;
    int jobs = DefaultSetJobs();
    while (next < args.size() && (args[next] == "--out" || args[next] == "--jobs")) {
        if (next + 1 >= args.size())
            return Say(kUsage, kUsageError);
        if (args[next] == "--jobs") {
            if (!ParseJobs(args[next + 1], jobs))
                return Say("--jobs takes a number from 1 to " + std::to_string(kMostJobs),
                           kUsageError);
        } else {
            outFolder = ResolveFolder(args[next + 1]);
            if (!outFolder)
                return Say("no such folder: " + args[next + 1], kUsageError);
        }
        next += 2;
    }
    if (args.size() < next + 2)
        return Say(kUsage, kUsageError);
    const std::string& scriptArgument = args[next];
    const std::string& sourceArgument = args[next + 1];
    const std::vector<std::string> otherArguments(
        args.begin() + static_cast<std::ptrdiff_t>(next + 2), args.end());

    ScriptEntry script;
    const std::optional<std::string> scriptPath = FullPath(scriptArgument);
    const std::string scriptFolder = scriptPath ? FolderOf(*scriptPath) : std::string();
    std::unique_ptr<ByteSource> reader =
        scriptFolder.empty()
            ? nullptr
            : OpenScriptFolder(scriptFolder).open(scriptPath->substr(scriptFolder.size()));
    if (!reader)
        return Say("cannot read the script " + scriptArgument, kInputError);
    const int argCount = ReadScript(reader.get(), script).count;
    reader.reset();
    if (argCount < 1 || argCount > kMostPictures)
        return Say(scriptArgument + " is not a valid script taking 1 to 4 pictures", kInputError);
    if (otherArguments.size() + 1 != static_cast<std::size_t>(argCount)) {
        return Say(std::string(kUsage) + " (" + scriptArgument + " takes " +
                       std::to_string(argCount) + " pictures)",
                   kUsageError);
    }

    std::vector<BatchPicture> others;
    for (const std::string& argument : otherArguments) {
        const std::optional<std::string> path = FullPath(argument);
        const std::optional<PixelSize> size = path ? PictureFileSize(*path) : std::nullopt;
        if (!size)
            return Say("cannot read or decode the picture " + argument, kInputError);
        others.push_back({*path, size->width, size->height});
    }
    const std::optional<std::vector<std::string>> pictures = GatherSource(sourceArgument);
    if (!pictures)
        return Say("cannot read " + sourceArgument, kInputError);
    if (pictures->empty())
        return Say("no pictures to run in " + sourceArgument, kInputError);

    std::vector<std::string> outputFolders;
    for (const std::string& picture : *pictures)
        outputFolders.push_back(outFolder ? *outFolder : FolderOf(picture));
    SetRequest request;
    request.body = script.body;
    request.eraseTemp = script.eraseTemp == 1;
    request.plan = PlanSet(TrimBlanks(script.body), *pictures, outputFolders, others);
    if (!request.plan.refusal.empty())
        return Say(request.plan.refusal, kInputError);
    request.others = others;
    request.jobs = jobs;
    request.pictureSize = PictureFileSize;

    UniqueHandle cancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle ended(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_cancel = cancel.get();
    g_ended = ended.get();
    ::SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
    const bool showProgress = _isatty(_fileno(stderr)) != 0;
    const int total = static_cast<int>(request.plan.pictures.size());
    std::vector<PictureOutcome> outcomes;
    SetProgress progress;
    const bool complete =
        RunPictureSet(request, cancel.get(), progress, [&](const PictureOutcome& outcome) {
            PrintOutcome(request.plan, outcome);
            if (outcome.verdict != PictureVerdict::kCreated)
                outcomes.push_back(outcome);
            if (showProgress) {
                std::fprintf(stderr, "%d of %d\r", progress.finished.load() + 1, total);
            }
        });
    ::SetConsoleCtrlHandler(OnConsoleBreak, FALSE);

    if (!outcomes.empty()) {
        const std::string logPath = request.plan.pictures.front().outputFolder + kLogName;
        const std::string log = SetLogText(request.plan, outcomes);
        if (WriteWholeFile(logPath, log))
            Say("what ImageMagick said is in " + logPath, 0);
    }
    ::SetEvent(ended.get());
    if (!complete) {
        return Say("cancelled after " + std::to_string(progress.finished.load()) + " of " +
                       std::to_string(total) + " pictures",
                   kSomeFailed);
    }
    if (progress.failed.load() > 0)
        return kSomeFailed;
    return progress.warnings.load() > 0 ? kSomeWarnings : kAllCreated;
}

}  // namespace quillon::cli

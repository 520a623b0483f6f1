// quillon-cli each on Windows: gathers the set, plans it, runs it and prints one line per
// picture as it finishes.
#include "cli/EachCommand.h"

#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "catalogue/ScriptFolderAccess.h"
#include "cli/CliCommon.h"
#include "cli/CliPlatform.h"
#include "execution/PictureSet.h"
#include "execution/PictureSetRunner_win.h"
#include "pictures/PictureFolder_win.h"

namespace quillon::cli {

namespace {

constexpr int kMostJobs = 64;
constexpr char kLogName[] = "Quillon batch log.txt";
constexpr char kUsage[] =
    "usage: quillon-cli each [--out FOLDER] [--jobs N] [--existing replace|skip] [--recurse] "
    "[--keep-dates] [--set NAME=VALUE]... SCRIPT SOURCE [PICTURE2 [PICTURE3 [PICTURE4]]]";

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

struct EachOptions {
    std::optional<std::string> outFolder;
    int jobs = 0;
    bool skipExisting = false;
    bool recurse = false;
    bool keepDates = false;
    GivenSettings settings;
};

// The options before the script; the index of the script's argument, or nothing after
// saying what was wrong.
std::optional<std::size_t> ParseOptions(const std::vector<std::string>& args,
                                        EachOptions& options) {
    std::size_t next = 1;
    for (; next < args.size() && args[next].rfind("--", 0) == 0; ++next) {
        const std::string& option = args[next];
        if (option == "--recurse") {
            options.recurse = true;
            continue;
        }
        if (option == "--keep-dates") {
            options.keepDates = true;
            continue;
        }
        if (option != "--out" && option != "--jobs" && option != "--existing" &&
            option != "--set") {
            Say("unknown option " + option + "\n" + kUsage, kExitUnusable);
            return std::nullopt;
        }
        if (++next >= args.size()) {
            Say(option + " needs a value\n" + kUsage, kExitUnusable);
            return std::nullopt;
        }
        const std::string& value = args[next];
        if (option == "--jobs") {
            const bool digits = !value.empty() && value.size() <= 3 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            options.jobs = digits ? std::atoi(value.c_str()) : 0;
            if (options.jobs < 1 || options.jobs > kMostJobs) {
                Say("--jobs takes a number from 1 to " + std::to_string(kMostJobs), kExitUnusable);
                return std::nullopt;
            }
        } else if (option == "--set") {
            if (!AddGivenSetting(value, options.settings)) {
                Say("--set takes NAME=VALUE\n" + std::string(kUsage), kExitUnusable);
                return std::nullopt;
            }
        } else if (option == "--existing") {
            if (value != "replace" && value != "skip") {
                Say("--existing takes replace or skip", kExitUnusable);
                return std::nullopt;
            }
            options.skipExisting = value == "skip";
        } else {
            options.outFolder = ResolveFolder(value);
            if (!options.outFolder) {
                Say("no such folder: " + value, kExitUnusable);
                return std::nullopt;
            }
        }
    }
    return next;
}

// The list file's paths in the program's own text: UTF-8 where it runs in UTF-8, otherwise
// the system's code page, in which a name it cannot hold would be another file.
std::optional<std::vector<std::string>> ListedPictures(const std::string& listFile) {
    const std::optional<std::string> full = FullPath(listFile);
    if (!full || !OpenFile(*full, L"rb"))
        return std::nullopt;
    std::vector<std::string> pictures;
    for (const std::string& utf8 : PathsFromList(ReadFileBytes(*full), FolderOf(*full))) {
        const std::optional<std::string> ansi = NarrowToAnsi(WidenFromCodePage(utf8, CP_UTF8));
        const std::optional<std::string> path = ansi ? FullPath(*ansi) : std::nullopt;
        if (!path) {
            Say("the list names a picture this system cannot name: " + utf8, 0);
            continue;
        }
        pictures.push_back(*path);
    }
    return pictures;
}

// The set's pictures from SOURCE: a folder's pictures, a list file's paths or one picture.
std::optional<std::vector<FolderPicture>> GatherSource(const std::string& source, bool recurse) {
    if (source.size() > 1 && source[0] == '@') {
        const std::optional<std::vector<std::string>> listed = ListedPictures(source.substr(1));
        if (!listed)
            return std::nullopt;
        std::vector<FolderPicture> pictures;
        for (const std::string& path : *listed)
            pictures.push_back({path, std::string()});
        return pictures;
    }
    const std::optional<std::string> full = FullPath(source);
    if (!full)
        return std::nullopt;
    if (IsFolder(*full))
        return PicturesInFolder(*full, recurse);
    return std::vector<FolderPicture>{{*full, std::string()}};
}

void PrintLine(const std::string& verdict, const std::string& path, const std::string& said) {
    WriteText(
        verdict + ' ' + std::string(FileNameOf(path)) + (said.empty() ? "" : ": " + said) + "\r\n",
        false);
    std::fflush(stdout);
}

void PrintOutcome(const SetPlan& plan, const PictureOutcome& outcome) {
    static constexpr const char* kVerdicts[] = {"created", "warning", "failed"};
    const int verdict = static_cast<int>(outcome.verdict);
    PrintLine(kVerdicts[verdict], plan.pictures[outcome.index].path,
              outcome.verdict == PictureVerdict::kCreated ? "" : FirstLines(outcome.output, 1));
}

}  // namespace

int EachCommand(const std::vector<std::string>& args) {
    EachOptions options;
    options.jobs = DefaultSetJobs();
    const std::optional<std::size_t> next = ParseOptions(args, options);
    if (!next)
        return kExitUnusable;
    if (args.size() < *next + 2)
        return Say(kUsage, kExitUnusable);
    const std::string& scriptArgument = args[*next];
    const std::string& sourceArgument = args[*next + 1];
    const std::vector<std::string> otherArguments(
        args.begin() + static_cast<std::ptrdiff_t>(*next + 2), args.end());

    const LoadedScript loaded = LoadScript(scriptArgument);
    if (!loaded.refusal.empty())
        return Say(loaded.refusal, kExitUnusable);
    if (loaded.argCount < 1)
        return Say(scriptArgument + " takes no picture, so there is nothing to run it on",
                   kExitUnusable);
    if (otherArguments.size() + 1 != static_cast<std::size_t>(loaded.argCount)) {
        return Say(std::string(kUsage) + " (" + scriptArgument + " takes " +
                       std::to_string(loaded.argCount) + " pictures)",
                   kExitUnusable);
    }

    std::vector<SettingValue> settings;
    if (!ResolveSettings(loaded.script, options.settings, settings))
        return kExitUnusable;

    std::vector<BatchPicture> others;
    for (const std::string& argument : otherArguments) {
        const std::optional<std::string> path = FullPath(argument);
        const std::optional<PixelSize> size = path ? PictureFileSize(*path) : std::nullopt;
        if (!size)
            return Say("cannot read or decode the picture " + argument, kExitUnusable);
        others.push_back({*path, size->width, size->height});
    }
    const std::optional<std::vector<FolderPicture>> gathered =
        GatherSource(sourceArgument, options.recurse);
    if (!gathered)
        return Say("cannot read " + sourceArgument, kExitUnusable);
    if (gathered->empty())
        return Say("no pictures to run in " + sourceArgument, kExitUnusable);

    std::vector<std::string> pictures;
    std::vector<std::string> outputFolders;
    for (const FolderPicture& picture : *gathered) {
        pictures.push_back(picture.path);
        // Outputs keep the tree below the folder they go to.
        outputFolders.push_back(options.outFolder ? *options.outFolder + picture.subfolder
                                                  : FolderOf(picture.path));
    }
    SetRequest request;
    request.body = loaded.script.body;
    request.eraseTemp = loaded.script.eraseTemp == 1;
    request.settings = settings;
    request.plan = PlanSet(TrimBlanks(loaded.script.body), pictures, outputFolders, others,
                           LastWriteTime, settings);
    if (!request.plan.refusal.empty())
        return Say(request.plan.refusal, kExitUnusable);
    if (options.skipExisting) {
        for (const SetPicture& picture : request.plan.pictures) {
            if (picture.outputCurrent)
                PrintLine("skipped", picture.path, "");
        }
        SkipExisting(request.plan);
    }
    if (request.plan.leftOut > 0)
        WriteText("left out " + std::to_string(request.plan.leftOut) +
                      (request.plan.leftOut == 1 ? " picture" : " pictures") +
                      ": outputs of this script, or pictures of another slot\r\n",
                  false);
    request.others = others;
    request.jobs = options.jobs;
    request.keepDates = options.keepDates;
    request.pictureSize = PictureFileSize;
    for (const SetPicture& picture : request.plan.pictures) {
        if (!CreateFolderTree(picture.outputFolder))
            return Say("cannot make the folder " + picture.outputFolder, kExitCouldNotRun);
    }

    UniqueHandle cancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle ended(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!cancel || !ended)
        return Say("cannot start the run", kExitCouldNotRun);
    g_cancel = cancel.get();
    g_ended = ended.get();
    ::SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
    const bool showProgress = _isatty(_fileno(stderr)) != 0;
    const int total = static_cast<int>(request.plan.pictures.size());
    const std::string started = LogTimeNow();
    std::vector<PictureOutcome> outcomes;
    SetProgress progress;
    const bool complete =
        total == 0 ||
        RunPictureSet(request, cancel.get(), progress, [&](const PictureOutcome& outcome) {
            PrintOutcome(request.plan, outcome);
            outcomes.push_back(outcome);
            if (showProgress)
                WriteText(std::to_string(outcomes.size()) + " of " + std::to_string(total) + "\r",
                          true);
        });
    ::SetConsoleCtrlHandler(OnConsoleBreak, FALSE);

    // The log always tells of the last run, a clean one too.
    const std::string logFolder = options.outFolder   ? *options.outFolder
                                  : !pictures.empty() ? FolderOf(pictures.front())
                                                      : std::string();
    const std::string logPath = logFolder + kLogName;
    const bool logged = WriteWholeFile(logPath, RunLogText({TrimBlanks(loaded.script.displayName),
                                                            scriptArgument, started, !complete},
                                                           request.plan, outcomes));
    if (logged && (progress.failed.load() > 0 || progress.warnings.load() > 0))
        Say("what ImageMagick said is in " + logPath, 0);
    ::SetEvent(ended.get());
    if (!complete) {
        return Say("cancelled after " + std::to_string(progress.finished.load()) + " of " +
                       std::to_string(total) + " pictures",
                   kExitCancelled);
    }
    if (progress.failed.load() > 0)
        return kExitFailed;
    return progress.warnings.load() > 0 ? kExitWarnings : kExitDone;
}

}  // namespace quillon::cli

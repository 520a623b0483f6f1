// quillon-cli: the catalogue and the Execute button as Quillon sees them, for script authors
// and automation.
//   quillon-cli check FOLDER    the validation log after the start-up scan
//   quillon-cli list FOLDER     one line per catalogue position
//   quillon-cli body FOLDER K   the stored body of position K, as held
//   quillon-cli settings SCRIPT   one line per declared setting
//   quillon-cli batch [--out FOLDER] [--set NAME=VALUE]... SCRIPT PICTURE...
//                                the "script.bat" Execute would write
//   quillon-cli run [--out FOLDER] [--set NAME=VALUE]... SCRIPT PICTURE...
//                                the run Execute would make (Windows)
//   quillon-cli each [OPTIONS] SCRIPT SOURCE [PICTURE2..4]   many pictures
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ScriptFolderAccess.h"
#include "cli/CliCommon.h"
#include "cli/CliPlatform.h"
#include "cli/EachCommand.h"
#include "execution/BatchScript.h"

namespace {

using namespace quillon;
using cli::kExitCouldNotRun;
using cli::kExitDone;
using cli::kExitFailed;
using cli::kExitUnusable;
using cli::kExitWarnings;
using cli::Say;
using cli::SayOnOneLine;

constexpr char kUsage[] =
    "usage: quillon-cli check FOLDER | list FOLDER | body FOLDER K | settings SCRIPT"
    " | batch [--out FOLDER] [--set NAME=VALUE]... SCRIPT PICTURE..."
    " | run [--out FOLDER] [--set NAME=VALUE]... SCRIPT PICTURE..."
    " | each [--out FOLDER] [--jobs N] [--existing replace|skip] [--recurse] [--keep-dates]"
    " [--set NAME=VALUE]... SCRIPT SOURCE [PICTURE2..4]";

int Fail(const std::string& message) {
    return Say(message, kExitUnusable);
}

int Refuse(const std::string& message) {
    return Say(message, kExitUnusable);
}

int RefuseName(const std::string& name) {
    return SayOnOneLine(UnwritableNameMessage(name), kExitUnusable);
}

void WriteBytes(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int Finish(int exitCode) {
    return std::fflush(stdout) == 0 ? exitCode : Say("could not write the output", kExitFailed);
}

// A position typed by the user: decimal digits only, within the catalogue.
bool ParsePosition(const std::string& text, int size, int& position) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    position = std::atoi(text.c_str());
    return position >= 1 && position <= size;
}

int CatalogueCommand(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    const bool isBody = command == "body";
    if (args.size() != (isBody ? 3u : 2u))
        return Fail(kUsage);
    const std::optional<std::string> folderPath = ResolveFolder(args[1]);
    if (!folderPath)
        return Fail("no such folder: " + args[1]);

    ScriptCatalogue catalogue;
    std::string validationLog;
    ScanCatalogue(catalogue, validationLog, OpenScriptFolder(*folderPath));

    if (command == "check") {
        cli::WriteText(validationLog, false);
    } else if (command == "list") {
        std::string lines;
        for (int k = 1; k <= catalogue.Size(); ++k) {
            const ScriptEntry& entry = catalogue.At(k);
            lines += std::to_string(k) + '\t' + cli::UserText(TrimBlanks(entry.displayName)) +
                     '\t' + std::to_string(entry.argCount) + '\t' +
                     std::to_string(entry.eraseTemp) + '\t' + TrimBlanks(entry.fileName) + '\n';
        }
        cli::WriteText(lines, false);
    } else {
        int position = 0;
        if (!ParsePosition(args[2], catalogue.Size(), position)) {
            return Fail("no catalogue position " + args[2] + " (the catalogue has " +
                        std::to_string(catalogue.Size()) + ")");
        }
        WriteBytes(catalogue.At(position).body);
    }
    return Finish(0);
}

// One line per declared setting: name, type, range or choices, default and label.
int SettingsCommand(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail(kUsage);
    const cli::LoadedScript loaded = cli::LoadScript(args[1]);
    if (!loaded.refusal.empty())
        return Refuse(loaded.refusal);
    std::string lines;
    for (const SettingDeclaration& setting : loaded.script.settings) {
        lines += setting.name + '\t' + std::string(SettingTypeName(setting.type)) + '\t' +
                 SettingRangeText(setting) + '\t' + cli::UserText(setting.defaultValue) + '\t' +
                 cli::UserText(setting.label) + '\n';
    }
    cli::WriteText(lines, false);
    return Finish(0);
}

// ---- batch and run --------------------------------------------------------------------

std::string FolderPart(const std::string& fullPath) {
    const std::size_t separator = fullPath.rfind(PathSeparator());
    return separator == std::string::npos ? std::string() : fullPath.substr(0, separator + 1);
}

// The path as the batch builder takes it: it finds a picture's name after the last
// backslash, as Windows writes paths. Elsewhere a backslash inside a name is refused: no
// Windows file could carry that name.
std::optional<std::string> BatchPicturePath(std::string path) {
    if (PathSeparator() == '\\')
        return path;
    for (char& c : path) {
        if (c == '\\')
            return std::nullopt;
        if (c == PathSeparator())
            c = '\\';
    }
    return path;
}

// Gathers what the Execute button would have for the arguments after the command, or
// says why it cannot and gives the exit code.
int GatherJob(const std::vector<std::string>& args, cli::ScriptJob& job) {
    const std::string usage =
        "usage: quillon-cli " + args[0] + " [--out FOLDER] [--set NAME=VALUE]... SCRIPT PICTURE...";
    std::size_t next = 1;
    std::optional<std::string> outArgument;
    cli::GivenSettings given;
    while (next < args.size() && (args[next] == "--out" || args[next] == "--set")) {
        if (next + 1 >= args.size())
            return Fail(usage);
        if (args[next] == "--out")
            outArgument = args[next + 1];
        else if (!cli::AddGivenSetting(args[next + 1], given))
            return Fail("--set takes NAME=VALUE; " + usage);
        next += 2;
    }
    if (next >= args.size())
        return Fail(usage);
    const std::string& scriptArgument = args[next++];
    const std::vector<std::string> pictureArguments(
        args.begin() + static_cast<std::ptrdiff_t>(next), args.end());

    cli::LoadedScript loaded = cli::LoadScript(scriptArgument);
    if (!loaded.refusal.empty())
        return Refuse(loaded.refusal);
    job.script = loaded.script;
    if (!cli::ResolveSettings(job.script, given, job.settings))
        return kExitUnusable;
    const int argCount = loaded.argCount;
    if (pictureArguments.size() != static_cast<std::size_t>(argCount)) {
        return Fail(usage + " (" + scriptArgument + " takes " + std::to_string(argCount) +
                    (argCount == 1 ? " picture, " : " pictures, ") +
                    std::to_string(pictureArguments.size()) + " given)");
    }

    if (outArgument) {
        const std::optional<std::string> folder = ResolveFolder(*outArgument);
        if (!folder)
            return Fail("no such folder: " + *outArgument);
        job.outputFolder = *folder;
    }
    for (const std::string& argument : pictureArguments) {
        const std::optional<std::string> path = cli::FullPath(argument);
        const std::optional<PixelSize> size =
            path ? cli::PictureFileSize(*path) : std::optional<PixelSize>();
        if (!size)
            return Refuse("cannot read or decode the picture " + argument);
        const std::optional<std::string> batchPath = BatchPicturePath(*path);
        if (!batchPath)
            return RefuseName(path->substr(FolderPart(*path).size()));
        job.pictures.push_back({*batchPath, size->width, size->height});
        if (job.outputFolder.empty())
            job.outputFolder = FolderPart(*path);
    }
    job.scriptFolder = loaded.folder;
    if (job.outputFolder.empty())
        job.outputFolder = loaded.folder;
    return 0;
}

int BatchCommand(const cli::ScriptJob& job) {
    const BatchPlan plan =
        BuildBatch(TrimBlanks(job.script.body), job.script.eraseTemp == 1, job.pictures,
                   job.outputFolder, cli::EncodeBatchName, job.settings);
    if (!plan.unwritableName.empty())
        return RefuseName(plan.unwritableName);
    WriteBytes(plan.text);
    return Finish(0);
}

int RunJobCommand(const cli::ScriptJob& job) {
    const RunResult result = cli::RunJob(job);
    if (!result.output.empty())
        WriteBytes(result.output + "\r\n");
    std::fflush(stdout);
    switch (result.verdict) {
        case RunVerdict::kQuiet:
            // An interpreter ended from outside prints nothing either; a caller that reads
            // only the exit code must not take that for a picture made.
            if (!result.outputFile.empty() && !result.outputMade)
                return Say("the script printed nothing and did not make " + result.outputFile,
                           kExitFailed);
            return kExitDone;
        case RunVerdict::kWarning:
            return Say(result.outputFile + " is created but threw a warning", kExitWarnings);
        case RunVerdict::kError:
            return Say(result.outputFile.empty()
                           ? "the script printed an error and names no output file"
                           : "the script printed an error and did not make " + result.outputFile,
                       kExitFailed);
        case RunVerdict::kUnwritable:
            return SayOnOneLine(result.refusal, kExitUnusable);
        case RunVerdict::kNotRun:
            break;
    }
    return SayOnOneLine(result.refusal, kExitCouldNotRun);
}

int ScriptCommand(const std::vector<std::string>& args) {
    if (args[0] == "run" && !cli::RunsScripts())
        return Say("run needs Windows", cli::kExitCouldNotRun);
    cli::ScriptJob job;
    if (const int refused = GatherJob(args, job))
        return refused;
    return args[0] == "batch" ? BatchCommand(job) : RunJobCommand(job);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (const std::optional<std::string>& argument : cli::CommandLineArguments(argc, argv)) {
        if (!argument)
            return Refuse("an argument holds characters the system code page cannot write");
        args.push_back(*argument);
    }
    // Binary output, so CR LF reaches the caller as the log and the batch hold it.
    cli::UseBinaryOutput();
    if (args.empty())
        return Fail(kUsage);
    const std::string& command = args[0];
    if (command == "check" || command == "list" || command == "body")
        return CatalogueCommand(args);
    if (command == "batch" || command == "run")
        return ScriptCommand(args);
    if (command == "each")
        return cli::EachCommand(args);
    if (command == "settings")
        return SettingsCommand(args);
    return Fail(kUsage);
}

// Many pictures through one script: which pictures a set holds, where each one's output
// goes, and the batch each picture runs in its own work folder. Pure planning; the threads
// and processes that carry it out live in PictureSetRunner_win.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "execution/BatchScript.h"

namespace quillon {

// The paths of a list file's bytes, one a line: UTF-8 with or without a byte-order mark, or
// UTF-16 with one (what PowerShell's ">" writes), given back as UTF-8. Blanks around a path
// and double quotes round it do not count; blank lines and lines starting with "#" are
// skipped. A relative path is read against listFolder (ending in a backslash).
std::vector<std::string> PathsFromList(std::string_view bytes, const std::string& listFolder);

// One picture of a planned set.
struct SetPicture {
    std::string path;          // the picture for slot 1 (full path)
    std::string outputFolder;  // where its output lands; ends in a backslash
    std::string outputName;    // the output's name within outputFolder
    bool outputExists = false;
    bool outputCurrent = false;  // it exists and is not older than the picture
};

struct SetPlan {
    std::vector<SetPicture> pictures;  // the pictures that run
    // Pictures that are the script's outputs for other pictures of the set, or that fill
    // another slot: never run, however often the set is run again.
    int leftOut = 0;
    int skipped = 0;  // pictures whose current output was kept (SkipExisting)
    // When not empty, why nothing of the set may run (lines separated by single CRs).
    std::string refusal;
};

// A file's last write time, or nothing when there is no such file.
using LastWriteOf = std::function<std::optional<std::int64_t>(const std::string& path)>;

// The plan for running body once per picture of slot 1, with the pictures of slots 2 to
// argCount (others) the same for every run. outputFolders holds each picture's output folder
// as the output policy gives it, in step with pictures. The set is refused when the script
// names no output or one that does not depend on the picture, when two pictures would make
// the same file, or when an output would overwrite a picture of another slot.
SetPlan PlanSet(std::string_view body, const std::vector<std::string>& pictures,
                const std::vector<std::string>& outputFolders,
                const std::vector<BatchPicture>& others, const LastWriteOf& lastWrite,
                const std::vector<SettingValue>& settings = {});

// How many pictures of the plan already have their output.
int ExistingOutputs(const SetPlan& plan);

// Takes the pictures whose output is current out of the run, counting them as skipped.
void SkipExisting(SetPlan& plan);

// The work folder's name for job number k of a run by process id: hidden from the usual
// listings by its leading tilde and unlike any name a picture set produces.
std::string JobFolderName(unsigned long processId, int k);

// The process id in a work folder's name, or nothing for any other name.
std::optional<unsigned long> JobFolderOwner(std::string_view name);

// The batch of one picture, run in its own work folder (ending in a backslash) so that
// pictures running at the same time never share an intermediate file. The pictures keep
// their names; the runner puts them into the work folder under those names.
BatchPlan JobBatch(std::string_view body, bool eraseTemp, const BatchPicture& first,
                   const std::vector<BatchPicture>& others, const std::string& workFolder,
                   const NameEncoder& encode, const std::vector<SettingValue>& settings = {});

// The pictures a job puts into its work folder, where the batch finds them by their file
// names alone: each slot's picture, the first of any that share a file name.
std::vector<std::string> JobInputs(const BatchPicture& first,
                                   const std::vector<BatchPicture>& others);

enum class PictureVerdict {
    kCreated,  // output made, nothing printed
    kWarning,  // output made, something printed
    kFailed,   // no output
};

// How one picture of a set ended.
struct PictureOutcome {
    std::size_t index = 0;  // in the plan
    PictureVerdict verdict = PictureVerdict::kFailed;
    std::string outputFile;  // where the output landed (or would have)
    std::string output;      // what the run printed, or why it could not run
    std::string keptAs;      // an output that could not replace the old one, kept here instead
};

// What the log says of the run as a whole.
struct RunLogHeader {
    std::string scriptName;
    std::string scriptFile;
    std::string startTime;
    bool cancelled = false;
};

// The log of a set's run, lines ended by CR LF: the script, the time and the counts, then
// every picture that ran in plan order with its output and everything its run printed.
std::string RunLogText(const RunLogHeader& header, const SetPlan& plan,
                       std::vector<PictureOutcome> outcomes);

// Whether a body uses a picture's size ($WIDTH or $HEIGHT, with or without an index).
bool UsesPictureSize(std::string_view body);

// The first lines of what a picture's run printed, for a summary line.
std::string FirstLines(std::string_view output, int lines);

}  // namespace quillon

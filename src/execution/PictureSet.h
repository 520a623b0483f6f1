// Many pictures through one script: which pictures a set holds, where each one's output
// goes, and the batch each picture runs in its own work folder. Pure planning; the threads
// and processes that carry it out live in PictureSetRunner_win.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "execution/BatchScript.h"

namespace quillon {

// Whether a folder's file is one of the pictures a set takes from it (by its extension:
// jpg, jpeg, png, gif, bmp, tif, tiff, in any ASCII case).
bool IsSetPictureName(std::string_view fileName);

// The pictures of a folder (ending in a separator) from the names listed in it: full paths
// of the picture files, ordered by name regardless of ASCII case.
std::vector<std::string> SetFromFolder(const std::string& folder,
                                       const std::vector<std::string>& fileNames);

// The paths of a list file, one a line: blanks around a path and empty lines do not count,
// and a path may be enclosed in double quotes.
std::vector<std::string> SetFromList(std::string_view text);

// One picture of a planned set.
struct SetPicture {
    std::string path;          // the picture for slot 1 (full path)
    std::string outputFolder;  // where its output lands; ends in a backslash
    std::string outputName;    // the output's name within outputFolder
};

struct SetPlan {
    std::vector<SetPicture> pictures;
    // When not empty, why nothing of the set may run (lines separated by single CRs).
    std::string refusal;
};

// The plan for running body once per picture of slot 1, with the pictures of slots 2 to
// argCount (others) the same for every run. outputFolders holds each picture's output folder
// as the output policy gives it, in step with pictures. The set is refused when the script
// names no output, when two pictures would make the same file, or when one would overwrite a
// picture of the set.
SetPlan PlanSet(std::string_view body, const std::vector<std::string>& pictures,
                const std::vector<std::string>& outputFolders,
                const std::vector<BatchPicture>& others);

// The work folder's name for job number k of a run by process id: hidden from the usual
// listings by its leading tilde and unlike any name a picture set produces.
std::string JobFolderName(unsigned long processId, int k);

// The batch of one picture, run in its own work folder (ending in a backslash) so that
// pictures running at the same time never share an intermediate file. The pictures keep
// their names; the runner puts them into the work folder under those names.
BatchPlan JobBatch(std::string_view body, bool eraseTemp, const BatchPicture& first,
                   const std::vector<BatchPicture>& others, const std::string& workFolder,
                   const NameEncoder& encode);

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

// The log of a set's warnings and failures, in plan order: for each picture its name, its
// output and everything the run printed (lines ended by CR LF).
std::string SetLogText(const SetPlan& plan, std::vector<PictureOutcome> outcomes);

// Whether a body uses a picture's size ($WIDTH or $HEIGHT, with or without an index).
bool UsesPictureSize(std::string_view body);

// The first lines of what a picture's run printed, for a summary line.
std::string FirstLines(std::string_view output, int lines);

}  // namespace quillon

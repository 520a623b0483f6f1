// The rules of the ImageMagick shim: which tool a copy of the shim stands for, which
// arguments name Windows paths, and the Linux command that runs the tool.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace imshim {

// The ImageMagick tool named by the shim's own file name ("C:\x\Convert.EXE" gives
// "convert"), or nothing when the name is not one of ImageMagick's tools.
std::optional<std::string> ToolNameFromProgramPath(const std::string& programPath);

// An argument that names a Windows path, optionally after an ImageMagick format prefix
// such as "png24:": the prefix (with its colon), the path, and whether the path starts with
// a drive ("C:\..." or "C:/...") or is relative (and then holds a backslash).
struct PathArgument {
    std::string prefix;
    std::string path;
    bool absolute = false;
};

// The parts of an argument that may name a Windows path, or nothing for an argument that
// cannot (no drive and no backslash). Whether a relative one really names a file is for the
// caller to find out.
std::optional<PathArgument> SplitPathArgument(const std::string& argument);

// The folder part of a relative path: everything before its last backslash.
std::string FolderOf(const std::string& relativePath);

// The argument with every backslash turned into a slash.
std::string WithForwardSlashes(std::string argument);

// Where the tool's two streams go: both into one file, each into its own, or (with no files)
// straight to the shim's own descriptors.
struct OutputFiles {
    std::string output;  // empty: no files
    std::string error;   // empty with an output file: standard error joins standard output
};

// The argument vector that, killed when its parent goes, enters folder and runs the tool with its arguments,
// its streams sent to the files. Every text is passed as a separate argument, so nothing in a
// name or argument is ever read by the shell.
std::vector<std::string> LinuxCommand(const std::string& folder, const OutputFiles& files,
                                      const std::string& tool,
                                      const std::vector<std::string>& arguments);

// The shim's exit code for what the spawn reported: the tool's own exit code (0 to 255),
// or 127 when the shell could not be started at all.
int ShimExitCode(long spawnResult);

}  // namespace imshim

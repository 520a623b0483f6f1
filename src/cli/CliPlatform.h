// What quillon-cli asks of the system it runs on: CliPlatform_win.cpp on Windows, which does
// what the window does, and CliPlatform_posix.cpp natively elsewhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/PixelGeometry.h"
#include "catalogue/ScriptFormat.h"
#include "execution/BatchScript.h"

namespace quillon::cli {

// The arguments after the program's name, as ANSI text; nothing for an argument that has no
// exact ANSI form (it would name another file).
std::vector<std::optional<std::string>> CommandLineArguments(int argc, char** argv);

// Makes the standard output write bytes as they are, CR LF included.
void UseBinaryOutput();

// The full path of a file or folder, whether or not it exists; nothing when it has none.
std::optional<std::string> FullPath(const std::string& path);

// A picture file's size in pixels as Quillon reads it; nothing when the file cannot be read
// or decoded.
std::optional<PixelSize> PictureFileSize(const std::string& fullPath);

// How the names Quillon inserts are written into a batch here.
std::optional<std::string> EncodeBatchName(std::string_view name);

// A script run as the Execute button does it, for quillon-cli run.
struct ScriptJob {
    ScriptEntry script;
    std::vector<BatchPicture> pictures;  // slots 1 to argCount
    std::string scriptFolder;            // where "script.bat" is written; ends in a separator
    std::string outputFolder;            // ends in a separator
};

// Whether this system can run a script (it needs the Windows command interpreter).
bool RunsScripts();

// Writes the batch into the script's folder, runs it with its output captured and deletes
// it, as Execute does.
RunResult RunJob(const ScriptJob& job);

}  // namespace quillon::cli

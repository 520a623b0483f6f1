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

// Writes text of the program's own (names, messages) to the standard output or error: to a
// console as its characters, elsewhere as the program's bytes (UTF-8 where it runs in UTF-8).
void WriteText(std::string_view text, bool toError);

// A text a user wrote into a script file (its name) as the program's own text: see the
// window's list, which reads it as UTF-8 when it is and else in the system's code page.
std::string UserText(std::string_view bytes);

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
    std::vector<SettingValue> settings;  // every declared setting, checked
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

// What every quillon-cli command shares: its exit codes, its way of saying things, and
// reading the script it is given.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalogue/ScriptFormat.h"

namespace quillon::cli {

// The exit codes, the same for every command (the README's table).
constexpr int kExitDone = 0;         // everything made, nothing printed
constexpr int kExitWarnings = 1;     // made, with warnings, and nothing failed
constexpr int kExitFailed = 2;       // one picture or more failed
constexpr int kExitUnusable = 3;     // the command line, script or a picture cannot be used
constexpr int kExitCouldNotRun = 4;  // a file of the run could not be written or started
constexpr int kExitCancelled = 255;  // cancelled (Ctrl+C, the console closed)

// Writes "quillon-cli: message" to the standard error and gives back exitCode.
int Say(const std::string& message, int exitCode);

// The same for a message the window shows over several lines.
int SayOnOneLine(std::string message, int exitCode);

// A script file as the command line names it, read as Quillon reads it.
struct LoadedScript {
    ScriptEntry script;
    int argCount = 0;
    std::string folder;   // the script's folder, ending in a separator
    std::string refusal;  // when not empty, why the script cannot be used
};
LoadedScript LoadScript(const std::string& argument);

// The values given with "--set NAME=VALUE", in the order given.
using GivenSettings = std::vector<std::pair<std::string, std::string>>;

// Takes the value of one "--set"; false when it has no "=" after a name.
bool AddGivenSetting(const std::string& option, GivenSettings& given);

// Every setting of the script with its value for the batch, the given ones checked; on an
// undeclared name or a bad value, says so and returns false.
bool ResolveSettings(const ScriptEntry& script, const GivenSettings& given,
                     std::vector<SettingValue>& values);

}  // namespace quillon::cli

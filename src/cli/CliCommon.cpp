#include "cli/CliCommon.h"

#include <memory>
#include <optional>

#include "catalogue/ScriptFolderAccess.h"
#include "cli/CliPlatform.h"

namespace quillon::cli {

namespace {

// Quillon has four input slots.
constexpr int kMostPictures = 4;

std::string FaultText(const ScriptReadResult& read) {
    switch (read.fault) {
        case ScriptFault::kBadSetting:
            return read.settingProblem;
        case ScriptFault::kNoArgs:
            return "its <script ...> tag has no args=\"...\"";
        case ScriptFault::kNoName:
            return "its <script ...> tag has no name=\"...\"";
        case ScriptFault::kNoTag:
        case ScriptFault::kNone:
            break;
    }
    return "it has no <script ...> tag";
}

}  // namespace

int Say(const std::string& message, int exitCode) {
    WriteText("quillon-cli: " + message + "\n", true);
    return exitCode;
}

int SayOnOneLine(std::string message, int exitCode) {
    for (char& c : message) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return Say(message, exitCode);
}

LoadedScript LoadScript(const std::string& argument) {
    LoadedScript loaded;
    const std::optional<std::string> path = FullPath(argument);
    const std::size_t separator = path ? path->rfind(PathSeparator()) : std::string::npos;
    std::unique_ptr<ByteSource> source;
    if (separator != std::string::npos) {
        loaded.folder = path->substr(0, separator + 1);
        source = OpenScriptFolder(loaded.folder).open(path->substr(separator + 1));
    }
    if (!source) {
        loaded.refusal = "cannot read the script " + argument;
        return loaded;
    }
    const ScriptReadResult read = ReadScript(source.get(), loaded.script);
    loaded.argCount = read.count;
    if (read.count == kInvalidScript)
        loaded.refusal = argument + " is not a valid script: " + FaultText(read);
    else if (read.count > kMostPictures)
        loaded.refusal = argument + " takes " + std::to_string(read.count) +
                         " pictures, and Quillon runs scripts that take at most " +
                         std::to_string(kMostPictures);
    return loaded;
}

bool AddGivenSetting(const std::string& option, GivenSettings& given) {
    const std::size_t equals = option.find('=');
    if (equals == std::string::npos || equals == 0)
        return false;
    given.emplace_back(option.substr(0, equals), option.substr(equals + 1));
    return true;
}

bool ResolveSettings(const ScriptEntry& script, const GivenSettings& given,
                     std::vector<SettingValue>& values) {
    SettingValues resolved = SettingValuesFor(script.settings, given);
    if (!resolved.problem.empty()) {
        SayOnOneLine(resolved.problem, kExitUnusable);
        return false;
    }
    values = std::move(resolved.values);
    return true;
}

}  // namespace quillon::cli

// Running the selected script: the output folder, "script.bat", the run and its judgement.
// Shared by the Execute button and quillon-cli.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "execution/BatchScript.h"

namespace quillon {

// One name for the whole session: every Quillon's single runs take turns under it (they share
// the TEMP folder's runner files). Picture sets share no file with them and do not take it.
inline constexpr wchar_t kScriptRunMutexName[] = L"Local\\Quillon.ScriptRun";

// Everything one run needs, gathered by the caller from its own state.
struct ScriptRun {
    std::string body;  // the converted body as the catalogue holds it
    bool eraseTemp = false;
    std::vector<SettingValue> settings;  // checked against the script's declarations
    std::vector<BatchPicture> pictures;  // slots 1 to argCount, in order
    std::string programFolder;           // where "script.bat" is written; ends in a backslash
    std::string outputFolder;            // ends in a backslash
    // Called just before the batch runs, to let go of a preview of an earlier result.
    std::function<void()> beforeRun;
};

// Writes "script.bat" for the run, runs it hidden with its output captured and deletes it.
// Runs of every Quillon process take turns (they share "script.bat", "temp.bat" and
// "dump.txt"): a run waits for another one to end, keeping the window's messages flowing.
// The output counts as made only when this run wrote it and it is not empty; an empty file
// the run left under the output's name is removed.
RunResult RunScript(const ScriptRun& run);

// The output folder the policy names for the run's pictures, or the one the user picks in the
// folder question (placed by the owner window); nothing when the user cancels.
std::optional<std::string> ChooseOutputFolder(HWND owner, const OutputPolicy& policy,
                                              const ScriptRun& run);

// The Execute button's run: RunScript, then the warning or error in a message box over
// owner. Returns the run's result; its outputFile is empty when nothing ran.
RunResult ExecuteScript(HWND owner, const ScriptRun& run);

}  // namespace quillon

// What the main window shows after a run, decided from the path the run expected.
#pragma once

#include <string>

namespace quillon {

enum class OutputShow {
    kNoOutputFile,  // "ok (no output file)"
    kUnchanged,     // the expected file is missing: the window stays as it was
    kPicture,       // the produced picture, and its name followed by " created"
};

inline constexpr const char* kNoOutputFileText = "ok (no output file)";
inline constexpr const char* kScriptUpdatedText = "Script correctly updated";
inline constexpr const char* kCreatedSuffix = " created";

// The outcome for a run that expected lastOutput ("" for none), given whether it exists.
OutputShow JudgeOutput(const std::string& lastOutput, bool exists);

// The right status line for a produced file: its name (after the last backslash) + " created".
std::string CreatedText(const std::string& lastOutput);

}  // namespace quillon

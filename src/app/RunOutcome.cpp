#include "app/RunOutcome.h"

#include "base/Text.h"

namespace quillon {

OutputShow JudgeOutput(const std::string& lastOutput, bool exists) {
    if (lastOutput.empty())
        return OutputShow::kNoOutputFile;
    if (!exists)
        return OutputShow::kUnchanged;
    // A body whose last word ends in a backslash names a folder, not a file it made.
    if (lastOutput.back() == '\\')
        return OutputShow::kNoOutputFile;
    return OutputShow::kPicture;
}

std::string CreatedText(const std::string& lastOutput) {
    return std::string(FileNameOf(lastOutput)) + kCreatedSuffix;
}

}  // namespace quillon

// The texts of a picture set's run in the window: the question, the progress lines and the
// summary.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalogue/ScriptSettings.h"

namespace quillon {

// What the question before a set runs adds below "Run «script» on N pictures?": how many
// pictures already have their output and how many were left out (lines separated by single
// CRs, each part led by an empty line); empty when there is neither.
std::string QuestionDetails(int pictures, int existing, int leftOut);

// The settings' values the question names, led by an empty line: "Strength 60 %, Corner
// SouthEast"; given holds each setting's value by name, checked. Empty without settings.
std::string SettingsDetails(const std::vector<SettingDeclaration>& settings,
                            const std::vector<std::pair<std::string, std::string>>& given);

// "37 of 200: beach.jpg", counting the pictures finished.
std::string ProgressLine(int finished, int total, const std::string& pictureName);

// Elapsed time and, once a picture is done, the time left at the pace so far.
std::string TimesLine(long elapsedSeconds, int done, int total);

// One picture that warned or failed, for the summary.
struct SetSummaryEntry {
    bool failed = false;
    std::string pictureName;
    std::string firstLines;  // of what ImageMagick said, lines separated by single CRs
    std::string keptAs;      // an output that could not be put in place, kept here
};

struct SetSummary {
    int total = 0;
    int created = 0;
    int warnings = 0;
    int failed = 0;
    int skipped = 0;  // their output was current
    int leftOut = 0;  // outputs of the script, or pictures of another slot
    bool cancelled = false;
    std::vector<SetSummaryEntry> entries;
    std::string logPath;  // empty when no log was written
};

// The summary's text (lines separated by single CRs): the counts, then up to
// kSummaryEntries pictures with what was said, then the log's name.
constexpr std::size_t kSummaryEntries = 8;
std::string SummaryText(const SetSummary& summary);

}  // namespace quillon

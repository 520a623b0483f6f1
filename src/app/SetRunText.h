// The texts of a picture set's run in the window: the question, the progress lines and the
// summary.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// "37 of 200: beach.jpg"
std::string SetProgressLine(int done, int total, const std::string& pictureName);

// Elapsed time and, once a picture is done, the time left at the pace so far.
std::string SetTimesLine(long elapsedSeconds, int done, int total);

// One picture that warned or failed, for the summary.
struct SetSummaryEntry {
    bool failed = false;
    std::string pictureName;
    std::string firstLines;  // of what ImageMagick said, lines separated by single CRs
};

struct SetSummary {
    int total = 0;
    int created = 0;
    int warnings = 0;
    int failed = 0;
    bool cancelled = false;
    std::vector<SetSummaryEntry> entries;
    std::string logPath;  // empty when no log was written
};

// The summary's text (lines separated by single CRs): the counts, then up to
// kSummaryEntries pictures with what was said, then the log's name.
constexpr std::size_t kSummaryEntries = 8;
std::string SetSummaryText(const SetSummary& summary);

}  // namespace quillon

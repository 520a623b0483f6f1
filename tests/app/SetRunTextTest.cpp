// The texts the window shows while a picture set runs and when it ends.
#include "app/SetRunText.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(SetRunText, TimeLeftFollowsThePaceAndTheSummaryNamesWhatWasSaid) {
    EXPECT_EQ(SetTimesLine(5, 0, 200), "Elapsed 0:05");
    EXPECT_EQ(SetTimesLine(74, 37, 200), "Elapsed 1:14, about 5:26 left");
    EXPECT_EQ(SetProgressLine(37, 200, "beach.jpg"), "37 of 200: beach.jpg");
    SetSummary summary;
    summary.total = 12;
    summary.created = 9;
    summary.warnings = 1;
    summary.failed = 1;
    summary.cancelled = true;
    summary.entries = {{false, "a.jpg", "convert: low\rsecond"}, {true, "b.png", "broken"}};
    summary.logPath = "C:\\out\\log.txt";
    EXPECT_EQ(SetSummaryText(summary),
              "Cancelled after 11 pictures of 12.\r10 pictures created, 1 of them with warnings, "
              "1 failed.\r\rWarning: a.jpg\rconvert: low\rsecond\r\rFailed: b.png\rbroken\r\r"
              "Everything ImageMagick said is in C:\\out\\log.txt");
    summary.entries.assign(kSummaryEntries + 3, {true, "c.gif", "x"});
    const std::string text = SetSummaryText(summary);
    EXPECT_NE(text.find("... and 3 more."), std::string::npos) << text;
}

}  // namespace
}  // namespace quillon

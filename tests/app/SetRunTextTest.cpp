// The texts the window shows while a picture set runs and when it ends.
#include "app/SetRunText.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(SetRunText, TimeLeftFollowsThePaceAndTheSummaryNamesWhatWasSaid) {
    EXPECT_EQ(TimesLine(5, 0, 200), "Elapsed 0:05");
    EXPECT_EQ(TimesLine(74, 37, 200), "Elapsed 1:14, about 5:26 left");
    EXPECT_EQ(ProgressLine(37, 200, "beach.jpg"), "37 of 200: beach.jpg");
    SetSummary summary;
    summary.total = 12;
    summary.created = 9;
    summary.warnings = 1;
    summary.failed = 1;
    summary.skipped = 4;
    summary.cancelled = true;
    summary.entries = {{false, "a.jpg", "convert: low\rsecond", ""},
                       {true, "b.png", "broken", "C:\\out\\b_s (Quillon 2).png"}};
    summary.logPath = "C:\\out\\log.txt";
    EXPECT_EQ(
        SummaryText(summary),
        "Cancelled after 11 pictures of 12.\r10 pictures created, 1 of them with warnings, "
        "1 failed, 4 skipped.\r\rWarning: a.jpg\rconvert: low\rsecond\r\rFailed: b.png\rbroken\r"
        "The output made is kept as C:\\out\\b_s (Quillon 2).png\r\r"
        "Everything ImageMagick said is in C:\\out\\log.txt");
    summary.entries.assign(kSummaryEntries + 3, {true, "c.gif", "x", ""});
    const std::string text = SummaryText(summary);
    EXPECT_NE(text.find("... and 3 more."), std::string::npos) << text;
}

TEST(SetRunText, TheQuestionSaysWhatExistsAndWhatWasLeftOut) {
    EXPECT_EQ(QuestionDetails(30, 0, 0), "");
    EXPECT_EQ(QuestionDetails(30, 12, 2),
              "\r\r12 of 30 pictures already have their output: replace it, or skip them?"
              "\r\r2 pictures are left out: this script made them, or another slot holds them.");
    const SettingsRead read =
        ReadSettings({"name=\"TONE\" label=\"Strength\" type=\"number\" min=\"0\" max=\"100\" "
                      "default=\"80\" unit=\"%\"/>",
                      "name=\"C\" label=\"Corner\" type=\"choice\" choices=\"NorthWest|SouthEast\" "
                      "default=\"SouthEast\"/>"},
                     true);
    EXPECT_EQ(SettingsDetails(read.settings, {{"TONE", "60,5"}}),
              "\r\rStrength 60.5 %, Corner SouthEast");
    EXPECT_EQ(SettingsDetails({}, {}), "");
}

}  // namespace
}  // namespace quillon

#include "app/RunOutcome.h"

#include <gtest/gtest.h>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

struct OutcomeCase {
    const char* name;
    const char* lastOutput;
    bool exists;
    OutputShow shown;
};

class RunOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(RunOutcome, FollowsThePathTheRunExpected) {
    EXPECT_EQ(JudgeOutput(GetParam().lastOutput, GetParam().exists), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RunOutcome,
    ::testing::Values(
        OutcomeCase{"NoPathMeansNoFile", "", false, OutputShow::kNoOutputFile},
        OutcomeCase{"MissingFileChangesNothing", "C:\\out\\a.png", false, OutputShow::kUnchanged},
        OutcomeCase{"MissingFolderChangesNothing", "C:\\out\\", false, OutputShow::kUnchanged},
        OutcomeCase{"AnExistingFolderIsNoFile", "C:\\out\\", true, OutputShow::kNoOutputFile},
        OutcomeCase{"AnExistingFileIsShown", "C:\\out\\a.png", true, OutputShow::kPicture}),
    testing::CaseName());

TEST(RunOutcome, StatusNamesTheFileAfterTheLastBackslash) {
    EXPECT_EQ(CreatedText("C:\\out\\photo_small.jpg"), "photo_small.jpg created");
    EXPECT_EQ(CreatedText("photo.jpg"), "photo.jpg created");
}

}  // namespace
}  // namespace quillon

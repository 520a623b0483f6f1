#include "settings/OutputFoldersChoice.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quillon {
namespace {

struct SelectionCase {
    int zeroArgPolicy;
    int argPolicy;
    int zeroArgOption;  // 0: nothing selected in the group
    int argOption;
};

void PrintTo(const SelectionCase& c, std::ostream* out) {
    *out << "policies " << c.zeroArgPolicy << " and " << c.argPolicy;
}

class DialogSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(DialogSelection, ShowsTheOptionOfEachValueAndNoneOutsideTheGroupsRange) {
    const SelectionCase& c = GetParam();
    const SelectedOptions selected = OptionsForPolicy({c.zeroArgPolicy, c.argPolicy});
    EXPECT_EQ(selected.zeroArgOption, c.zeroArgOption);
    EXPECT_EQ(selected.argOption, c.argOption);
}

INSTANTIATE_TEST_SUITE_P(Table, DialogSelection,
                         ::testing::Values(SelectionCase{1, 1, 1010, 1012},
                                           SelectionCase{2, 2, 1011, 1013},
                                           SelectionCase{1, 3, 1010, 1014},
                                           SelectionCase{3, 4, 0, 0}, SelectionCase{-1, -1, 0, 0},
                                           SelectionCase{0, 0, 0, 0}, SelectionCase{255, 255, 0, 0},
                                           SelectionCase{2, -1, 1011, 0}));

struct SaveCase {
    std::vector<int> checked;
    int zeroArgPolicy;
    int argPolicy;
};

void PrintTo(const SaveCase& c, std::ostream* out) {
    *out << "checked";
    for (int id : c.checked)
        *out << " " << id;
}

class SavedPolicy : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavedPolicy, FollowsTheCheckedOptions) {
    const OutputPolicy saved = PolicyForCheckedOptions(GetParam().checked);
    EXPECT_EQ(saved.zeroArgPolicy, GetParam().zeroArgPolicy);
    EXPECT_EQ(saved.argPolicy, GetParam().argPolicy);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SavedPolicy,
    ::testing::Values(SaveCase{{1010, 1012}, 1, 1}, SaveCase{{1011, 1013}, 2, 2},
                      SaveCase{{1010, 1014}, 1, 3}, SaveCase{{1011, 1012}, 2, 1},
                      // A group left without a check stores 1 and 2.
                      SaveCase{{}, 1, 2}, SaveCase{{1011}, 2, 2}, SaveCase{{1014}, 1, 3}));

}  // namespace
}  // namespace quillon

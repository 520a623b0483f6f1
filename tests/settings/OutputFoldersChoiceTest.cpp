#include "settings/OutputFoldersChoice.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quillon {
namespace {

// The settings file's bytes (a missing byte: -1 in the file's old reading) and the options
// the dialog shows for them.
struct SelectionCase {
    std::string bytes;
    int zeroArgOption;  // 0: nothing selected in the group
    int argOption;
};

void PrintTo(const SelectionCase& c, std::ostream* out) {
    *out << "bytes";
    for (unsigned char byte : c.bytes)
        *out << " " << static_cast<int>(byte);
}

class DialogSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(DialogSelection, ShowsTheOptionOfEachValueAndNoneOutsideTheGroupsRange) {
    const SelectionCase& c = GetParam();
    const SelectedOptions selected = OptionsForPolicy(PolicyFromBytes(c.bytes));
    EXPECT_EQ(selected.zeroArgOption, c.zeroArgOption);
    EXPECT_EQ(selected.argOption, c.argOption);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogSelection,
    ::testing::Values(SelectionCase{"\x01\x01", 1010, 1012}, SelectionCase{"\x02\x02", 1011, 1013},
                      SelectionCase{"\x01\x03", 1010, 1014}, SelectionCase{"\x03\x04", 0, 0},
                      SelectionCase{"", 0, 0}, SelectionCase{std::string(2, '\0'), 0, 0},
                      SelectionCase{"\xFF\xFF", 0, 0}, SelectionCase{"\x02", 1011, 0}));

// The options checked and the bytes "Save settings" writes for them.
struct SaveCase {
    std::vector<int> checked;
    std::string bytes;
};

void PrintTo(const SaveCase& c, std::ostream* out) {
    *out << "checked";
    for (int id : c.checked)
        *out << " " << id;
}

class SavedPolicy : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavedPolicy, FollowsTheCheckedOptions) {
    EXPECT_EQ(PolicyBytes(PolicyForCheckedOptions(GetParam().checked)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, SavedPolicy,
                         ::testing::Values(SaveCase{{1010, 1012}, "\x01\x01"},
                                           SaveCase{{1011, 1013}, "\x02\x02"},
                                           SaveCase{{1010, 1014}, "\x01\x03"},
                                           SaveCase{{1011, 1012}, "\x02\x01"},
                                           // A group left without a check stores 1 and 2.
                                           SaveCase{{}, "\x01\x02"}, SaveCase{{1011}, "\x02\x02"},
                                           SaveCase{{1014}, "\x01\x03"}));

}  // namespace
}  // namespace quillon

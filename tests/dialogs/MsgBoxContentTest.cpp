#include "dialogs/MsgBoxContent.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace quillon {
namespace {

ButtonCaptions StandardCaptions() {
    ButtonCaptions captions;
    FillEmptyButtonCaptions(captions);
    return captions;
}

struct ButtonSetCase {
    int style;
    const char* callerList;
    const char* buttons;
};

void PrintTo(const ButtonSetCase& c, std::ostream* out) {
    *out << "style " << c.style << " list \"" << c.callerList << "\"";
}

class ButtonSet : public ::testing::TestWithParam<ButtonSetCase> {};

TEST_P(ButtonSet, LastMatchingMaskInTheOrder4_2_1_3_5_6Wins) {
    EXPECT_EQ(ChooseButtonList(GetParam().style, StandardCaptions(), GetParam().callerList),
              GetParam().buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ButtonSet,
    ::testing::Values(
        ButtonSetCase{0, "", "&OK"}, ButtonSetCase{0, "Save;Discard;Back", "Save;Discard;Back"},
        ButtonSetCase{1, "", "&OK;&Cancel"}, ButtonSetCase{2, "", "&Abort;&Retry;&Ignore"},
        ButtonSetCase{3, "", "&Yes;&No;&Cancel"}, ButtonSetCase{4, "", "&Yes;&No"},
        ButtonSetCase{5, "", "&Retry;&Cancel"}, ButtonSetCase{6, "", "&Cancel;&Retry;C&ontinue"},
        ButtonSetCase{7, "", "&Cancel;&Retry;C&ontinue"},
        // A style with a set ignores the caller's list.
        ButtonSetCase{4, "Save;Discard", "&Yes;&No"},
        // Icon bits and other flags do not choose buttons.
        ButtonSetCase{0x23, "", "&Yes;&No;&Cancel"}, ButtonSetCase{0x14, "", "&Yes;&No"},
        ButtonSetCase{0x40, "A;B", "A;B"}, ButtonSetCase{0x100, "", "&OK"},
        ButtonSetCase{0x131, "", "&OK;&Cancel"},
        // A caller's list that is only a separator is not empty.
        ButtonSetCase{0, ";", ";"}));

TEST(ButtonSet, UsesTheCurrentCaptionsOfTheStandardButtons) {
    ButtonCaptions captions = StandardCaptions();
    captions.yes = "&Ja";
    captions.no = "&Nein";
    EXPECT_EQ(ChooseButtonList(4, captions, ""), "&Ja;&Nein");
}

TEST(FillEmptyButtonCaptions, FillsOnlyTheEmptyOnes) {
    ButtonCaptions captions;
    captions.no = "&Nein";
    FillEmptyButtonCaptions(captions);
    EXPECT_EQ(captions.ok, "&OK");
    EXPECT_EQ(captions.cancel, "&Cancel");
    EXPECT_EQ(captions.abort, "&Abort");
    EXPECT_EQ(captions.retry, "&Retry");
    EXPECT_EQ(captions.ignore, "&Ignore");
    EXPECT_EQ(captions.yes, "&Yes");
    EXPECT_EQ(captions.no, "&Nein");
    EXPECT_EQ(captions.continueOn, "C&ontinue");
}

struct SplitCase {
    const char* list;
    std::vector<std::string> captions;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << "\"" << c.list << "\"";
}

class SplitList : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitList, GivesOneButtonMoreThanThereAreSeparators) {
    EXPECT_EQ(SplitButtonList(GetParam().list), GetParam().captions);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SplitList,
    ::testing::Values(SplitCase{"&OK", {"&OK"}},
                      SplitCase{"Save;Discard;Back", {"Save", "Discard", "Back"}},
                      SplitCase{"", {""}}, SplitCase{";", {"", ""}},
                      SplitCase{"A;;B", {"A", "", "B"}}, SplitCase{";A;", {"", "A", ""}},
                      SplitCase{" A ; B ", {" A ", " B "}}));

struct IconCase {
    int style;
    int resourceNumber;
    unsigned beepType;
    int standardIconId = 0;
};

void PrintTo(const IconCase& c, std::ostream* out) {
    *out << "style " << c.style;
}

class IconChoice : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconChoice, LastMatchingMaskInTheOrder40_10_20_30Wins) {
    const MsgBoxIcon icon = ChooseMsgBoxIcon(GetParam().style);
    EXPECT_EQ(icon.resourceNumber, GetParam().resourceNumber);
    EXPECT_EQ(icon.beepType, GetParam().beepType);
    EXPECT_EQ(icon.standardIconId, GetParam().standardIconId);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, IconChoice,
    ::testing::Values(IconCase{0, 0, 0}, IconCase{0x4, 0, 0}, IconCase{0x10, 103, 0x10, 32513},
                      IconCase{0x20, 102, 0x20, 32514}, IconCase{0x30, 101, 0x30, 32515},
                      IconCase{0x40, 104, 0x40, 32516}, IconCase{0x23, 102, 0x20, 32514},
                      IconCase{0x14, 103, 0x10, 32513},
                      // 0x50 holds 0x40 and 0x10: 0x10 is tested later and wins.
                      IconCase{0x50, 103, 0x10, 32513},
                      // 0x60 holds 0x40 and 0x20: question wins.
                      IconCase{0x60, 102, 0x20, 32514},
                      // 0x70 holds every mask: warning, the last one, wins.
                      IconCase{0x70, 101, 0x30, 32515}, IconCase{0x80, 0, 0}));

TEST(ExpandLineBreaks, EveryCarriageReturnGainsALineFeed) {
    EXPECT_EQ(ExpandLineBreaks("A\rB"), "A\r\nB");
    EXPECT_EQ(ExpandLineBreaks("A\r\nB"), "A\r\n\nB");
    EXPECT_EQ(ExpandLineBreaks("\r\r"), "\r\n\r\n");
    EXPECT_EQ(ExpandLineBreaks("A\nB"), "A\nB");
    EXPECT_EQ(ExpandLineBreaks(""), "");
}

TEST(MsgBoxTitle, EmptyCaptionBecomesMyMsgBox) {
    EXPECT_EQ(MsgBoxTitle(""), "MyMsgBox");
    EXPECT_EQ(MsgBoxTitle("Quillon"), "Quillon");
    EXPECT_EQ(MsgBoxTitle(" "), " ");
}

}  // namespace
}  // namespace quillon

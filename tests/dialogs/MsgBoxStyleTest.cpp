#include "dialogs/MsgBoxStyle.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(SetMsgBoxStyle, SharesTrimmedFaceAndSizeBetweenTextAndButtons) {
    SetMsgBoxStyle("  Lucida Console ", 10, 0, -1);
    const MsgBoxStyle& style = CurrentMsgBoxStyle();
    EXPECT_EQ(style.textFontName, "Lucida Console");
    EXPECT_EQ(style.buttonFontName, "Lucida Console");
    EXPECT_EQ(style.textFontSize, 10);
    EXPECT_EQ(style.buttonFontSize, 10);
    EXPECT_EQ(style.textColour, 0);
    EXPECT_EQ(style.backColour, -1);
}

TEST(SetMsgBoxStyle, CutsFaceAtItsCapacity) {
    SetMsgBoxStyle(std::string(300, 'f'), 8, -1, -1);
    EXPECT_EQ(CurrentMsgBoxStyle().textFontName.size(), kFontNameCapacity);
}

TEST(ApplyMsgBoxStyleDefaults, GivesEightPointMsSansSerifInSystemColoursWhileNoFaceIsSet) {
    CurrentMsgBoxStyle() = MsgBoxStyle{};
    CurrentMsgBoxStyle().textColour = 0x123456;
    ApplyMsgBoxStyleDefaults();
    const MsgBoxStyle& style = CurrentMsgBoxStyle();
    EXPECT_EQ(style.textFontName, "Ms Sans Serif");
    EXPECT_EQ(style.buttonFontName, "Ms Sans Serif");
    EXPECT_EQ(style.textFontSize, 8);
    EXPECT_EQ(style.buttonFontSize, 8);
    EXPECT_EQ(style.textColour, -1);
    EXPECT_EQ(style.backColour, -1);
}

TEST(ApplyMsgBoxStyleDefaults, KeepsAStyleThatWasSet) {
    SetMsgBoxStyle("Lucida Console", 10, 0, -1);
    ApplyMsgBoxStyleDefaults();
    EXPECT_EQ(CurrentMsgBoxStyle().textFontName, "Lucida Console");
    EXPECT_EQ(CurrentMsgBoxStyle().textFontSize, 10);
    EXPECT_EQ(CurrentMsgBoxStyle().textColour, 0);
}

TEST(ApplyMsgBoxStyleDefaults, ABlankFaceCountsAsUnset) {
    SetMsgBoxStyle("   ", 12, 0x00FF00, 0);
    ApplyMsgBoxStyleDefaults();
    EXPECT_EQ(CurrentMsgBoxStyle().textFontName, "Ms Sans Serif");
    EXPECT_EQ(CurrentMsgBoxStyle().textFontSize, 8);
    EXPECT_EQ(CurrentMsgBoxStyle().backColour, -1);
}

}  // namespace
}  // namespace quillon

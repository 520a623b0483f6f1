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

}  // namespace
}  // namespace quillon

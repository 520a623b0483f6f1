#include "dialogs/MsgBoxLayout.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

TEST(MsgBoxLayout, TwoButtonsBesideAnIconMatchTheWorkedExample) {
    const MsgBoxGeometry box = MsgBoxLayout({600, 16}, 10, true, {24, 20});
    EXPECT_EQ(box.icon, (PixelRect{5, 5, 32, 32}));
    EXPECT_EQ(box.text, (PixelRect{42, 10, 380, 56}));
    EXPECT_EQ(box.buttonTop, 66);
    EXPECT_EQ(box.rowEnd, 114);
    EXPECT_EQ(box.clientWidth, 432);
    EXPECT_EQ(box.clientHeight, 95);
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[0], (PixelRect{169, 66, 44, 24}));
    EXPECT_EQ(box.buttons[1], (PixelRect{223, 66, 40, 24}));
}

TEST(MsgBoxLayout, OneButtonWithoutIconMatchesTheWorkedExample) {
    const MsgBoxGeometry box = MsgBoxLayout({100, 16}, 8, false, {22});
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.icon, PixelRect{});
    EXPECT_EQ(box.text, (PixelRect{10, 10, 160, 19}));
    EXPECT_EQ(box.buttonTop, 29);
    EXPECT_EQ(box.clientWidth, 180);
    EXPECT_EQ(box.clientHeight, 58);
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(box.buttons[0], (PixelRect{69, 29, 42, 24}));
}

// Text box size for a text extent and font size: W = max(160, min(380, tw)),
// H = round(W x th x tw / 100000 + 2 x size) with halves to even.
struct TextBoxCase {
    const char* name;
    PixelSize extent;
    int fontSize;
    int width;
    int height;
};

class TextBoxSize : public ::testing::TestWithParam<TextBoxCase> {};

TEST_P(TextBoxSize, FollowsTheOneLineWidthOfTheText) {
    const TextBoxCase& c = GetParam();
    const MsgBoxGeometry box = MsgBoxLayout(c.extent, c.fontSize, false, {22});
    EXPECT_EQ(box.text.width, c.width);
    EXPECT_EQ(box.text.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBoxSize,
    ::testing::Values(
        // Width bounds: a short text still gets 160, a long one is capped at 380.
        TextBoxCase{"EmptyText", {0, 0}, 8, 160, 16},
        TextBoxCase{"JustBelowMinimum", {159, 10}, 8, 160, 19},
        TextBoxCase{"AtMinimum", {160, 10}, 8, 160, 19},
        TextBoxCase{"BetweenBounds", {250, 10}, 8, 250, 22},
        TextBoxCase{"AtMaximum", {380, 10}, 8, 380, 30},
        TextBoxCase{"AboveMaximum", {381, 10}, 8, 380, 30},
        TextBoxCase{"VeryLong", {40000, 13}, 10, 380, 1996},
        // Exact halves go to the even neighbour: 250 x 4 x 250 / 100000 = 2.5,
        // 250 x 12 x 250 / 100000 = 7.5.
        TextBoxCase{"HalfRoundsDownToEven", {250, 4}, 0, 250, 2},        // 2.5 -> 2
        TextBoxCase{"HalfRoundsUpToEven", {250, 12}, 0, 250, 8},         // 7.5 -> 8
        TextBoxCase{"HalfPlusEvenSizeStaysEven", {250, 4}, 8, 250, 18},  // 18.5 -> 18
        TextBoxCase{"JustAboveHalf", {251, 4}, 0, 251, 3},               // 2.52 -> 3
        TextBoxCase{"NegativeExtentCountsAsNothing", {-50, -3}, 8, 160, 16},
        TextBoxCase{"NegativeSizeNeverGivesANegativeHeight", {100, 16}, -20, 160, 0}),
    testing::CaseName());

TEST(MsgBoxLayout, WithAnIconTheRowNeverStartsAboveTheIconsFoot) {
    const MsgBoxGeometry oneLine = MsgBoxLayout({100, 16}, 8, true, {22});
    EXPECT_EQ(oneLine.text.height, 19);
    EXPECT_EQ(oneLine.buttonTop, 42);
    EXPECT_EQ(oneLine.clientHeight, 71);
    const MsgBoxGeometry tall = MsgBoxLayout({1000, 16}, 8, true, {22});
    EXPECT_EQ(tall.text.height, 77);
    EXPECT_EQ(tall.buttonTop, 87);
}

TEST(MsgBoxLayout, TextStartsRightOfTheIconOrAtTheMargin) {
    EXPECT_EQ(MsgBoxLayout({100, 16}, 8, true, {22}).text.x, 42);
    EXPECT_EQ(MsgBoxLayout({100, 16}, 8, false, {22}).text.x, 10);
    EXPECT_EQ(MsgBoxLayout({100, 16}, 8, true, {22}).clientWidth, 212);
}

TEST(MsgBoxLayout, AWideRowWidensTheBoxAndStartsAtTheMargin) {
    const MsgBoxGeometry box = MsgBoxLayout({100, 16}, 8, false, {80, 80, 80});
    EXPECT_EQ(box.rowEnd, 10 + 3 * (100 + 10));
    EXPECT_EQ(box.clientWidth, 340);
    ASSERT_EQ(box.buttons.size(), 3u);
    EXPECT_EQ(box.buttons[0].x, 10);
    EXPECT_EQ(box.buttons[1].x, 120);
    EXPECT_EQ(box.buttons[2].x, 230);
}

TEST(MsgBoxLayout, CentringTruncatesAnOddRemainder) {
    // Client width 180, row width 41: (180 - 41) / 2 = 69.5 -> 69.
    const MsgBoxGeometry box = MsgBoxLayout({100, 16}, 8, false, {21});
    EXPECT_EQ(box.buttons[0].x, 69);
    EXPECT_EQ(box.buttons[0].width, 41);
}

TEST(MsgBoxLayout, EmptyCaptionGivesATwentyPixelButton) {
    const MsgBoxGeometry box = MsgBoxLayout({100, 16}, 8, false, {0, 22});
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[0].width, 20);
    EXPECT_EQ(box.buttons[1].x, box.buttons[0].x + 20 + 10);
}

TEST(MsgBoxLayout, HugeExtentsStayWithinTheCoordinateLimit) {
    const MsgBoxGeometry box = MsgBoxLayout({INT_MAX, INT_MAX}, INT_MAX, true, {INT_MAX, INT_MAX});
    EXPECT_EQ(box.text.width, 380);
    EXPECT_EQ(box.text.height, kMsgBoxMaxCoordinate);
    EXPECT_LE(box.clientHeight, kMsgBoxMaxCoordinate);
    EXPECT_LE(box.clientWidth, kMsgBoxMaxCoordinate);
    for (const PixelRect& button : box.buttons)
        EXPECT_LE(button.width, kMsgBoxMaxCoordinate + 20);
}

TEST(MsgBoxLayout, AReportTallerThanTheScreenScrollsInsteadOfPushingTheButtonsOff) {
    // Forty lines of console output: 1085 x 15 per line gives a text box of about 2500 px.
    const MsgBoxGeometry uncapped = MsgBoxLayout({40 * 1085, 15}, 10, true, {44});
    ASSERT_GT(uncapped.clientHeight, 700);
    EXPECT_FALSE(uncapped.textScrolls);

    const MsgBoxGeometry box = MsgBoxLayout({40 * 1085, 15}, 10, true, {44}, 700);
    EXPECT_TRUE(box.textScrolls);
    EXPECT_EQ(box.clientHeight, 700);
    EXPECT_EQ(box.text.height, 700 - 10 - 29);
    EXPECT_EQ(box.buttons[0].y, box.text.height + 10);
    EXPECT_EQ(box.text.width, uncapped.text.width);
}

TEST(MsgBoxLayout, AReportThatFitsIsNotCut) {
    const MsgBoxGeometry free = MsgBoxLayout({600, 16}, 10, true, {24, 20});
    const MsgBoxGeometry capped = MsgBoxLayout({600, 16}, 10, true, {24, 20}, free.clientHeight);
    EXPECT_FALSE(capped.textScrolls);
    EXPECT_EQ(capped.clientHeight, free.clientHeight);
    EXPECT_EQ(capped.text, free.text);
}

TEST(MsgBoxLayout, ATinyScreenStillShowsAFewLines) {
    const MsgBoxGeometry box = MsgBoxLayout({40 * 1085, 15}, 10, false, {22}, 50);
    EXPECT_TRUE(box.textScrolls);
    EXPECT_EQ(box.text.height, kMsgBoxMinScrollingTextHeight);
}

TEST(CentredOrigin, HalvesTheDifferenceTruncatingTowardZero) {
    EXPECT_EQ(CentredOrigin({0, 0, 600, 400}, {200, 100}).x, 200);
    EXPECT_EQ(CentredOrigin({0, 0, 600, 400}, {200, 100}).y, 150);
    EXPECT_EQ(CentredOrigin({0, 0, 601, 401}, {200, 100}).x, 200);  // 200.5 -> 200
    EXPECT_EQ(CentredOrigin({0, 0, 601, 401}, {200, 100}).y, 150);  // 150.5 -> 150
    // A window larger than the area: -100.5 truncates to -100, not -101.
    EXPECT_EQ(CentredOrigin({0, 0, 100, 100}, {301, 301}).x, -100);
    EXPECT_EQ(CentredOrigin({0, 0, 100, 100}, {301, 301}).y, -100);
}

TEST(KeptOnWorkArea, LeavesAWindowOnTheAreaWhereItIs) {
    const PixelPoint at = KeptOnWorkArea({100, 50, 400, 300}, {0, 0, 1024, 738});
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 50);
}

TEST(KeptOnWorkArea, MovesAWindowBackOverEachEdge) {
    const PixelPoint aboveLeft = KeptOnWorkArea({-40, -244, 432, 700}, {0, 0, 1024, 738});
    EXPECT_EQ(aboveLeft.x, 0);
    EXPECT_EQ(aboveLeft.y, 0);
    const PixelPoint belowRight = KeptOnWorkArea({900, 600, 432, 200}, {0, 30, 1024, 738});
    EXPECT_EQ(belowRight.x, 1024 - 432);
    EXPECT_EQ(belowRight.y, 30 + 738 - 200);
}

TEST(KeptOnWorkArea, AWindowLargerThanTheAreaKeepsItsTitleBarOnIt) {
    const PixelPoint at = KeptOnWorkArea({-300, -300, 2000, 1500}, {0, 30, 1024, 738});
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 30);
}

}  // namespace
}  // namespace quillon

#include "pictures/PictureGeometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

// ---- Fitting --------------------------------------------------------------------------

struct FitCase {
    const char* name;
    PixelSize picture;
    PixelSize control;
    PixelRect drawn;
};

class FittedPicture : public ::testing::TestWithParam<FitCase> {};

TEST_P(FittedPicture, IsScaledDownOnlyAndCentred) {
    EXPECT_EQ(FittedRect(GetParam().picture, GetParam().control), GetParam().drawn);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, FittedPicture,
    ::testing::Values(
        FitCase{"LandscapeInOneSlot", {1600, 1200}, {240, 216}, {0, 18, 240, 180}},
        FitCase{
            "LandscapeInFlatSlotFitsHeightAfterWidth", {1600, 1200}, {240, 70}, {73, 0, 93, 70}},
        FitCase{"PortraitInQuarterSlot", {600, 900}, {118, 106}, {23, 0, 71, 106}},
        FitCase{"SmallPictureIsNotEnlarged", {100, 50}, {240, 216}, {70, 83, 100, 50}},
        FitCase{"ExactHalfRoundsToEven", {256, 24}, {240, 216}, {0, 97, 240, 22}}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Boundaries, FittedPicture,
    ::testing::Values(
        FitCase{"ExactlyTheControlSizeFillsIt", {240, 216}, {240, 216}, {0, 0, 240, 216}},
        FitCase{"OnePixelWiderIsScaled", {241, 216}, {240, 216}, {0, 0, 240, 215}},
        FitCase{"BannerIsOnlyWidthScaled", {4800, 300}, {240, 216}, {0, 100, 240, 15}},
        FitCase{"TallNarrowIsOnlyHeightScaled", {100, 1000}, {240, 216}, {109, 0, 22, 216}},
        FitCase{
            "TallAndWideUsesFittedWidthForHeightStep", {480, 960}, {240, 216}, {66, 0, 108, 216}},
        FitCase{"OddMarginTruncates", {101, 51}, {240, 216}, {69, 82, 101, 51}},
        FitCase{"EmptyPictureDrawsNothingCentred", {0, 0}, {240, 216}, {120, 108, 0, 0}},
        FitCase{"HairlineKeepsZeroWidth", {1, 100000}, {240, 216}, {120, 0, 0, 216}},
        FitCase{"HugePictureStillFits", {60000, 40000}, {118, 106}, {0, 13, 118, 79}}),
    testing::CaseName());

// ---- Decoration, captions and the window --------------------------------------------------

TEST(Decoration, IsStretchedIntoTheControlLessSixPixels) {
    EXPECT_EQ(DecorationRect({240, 216}), (PixelRect{0, 0, 234, 210}));
    EXPECT_EQ(DecorationRect({240, 217}), (PixelRect{0, 0, 234, 211}));
}

TEST(SlotLabelPlacement, IsCentredWithTruncatingDivision) {
    EXPECT_EQ(CentredTextOrigin({240, 216}, {101, 55}), (PixelPoint{69, 80}));
    EXPECT_EQ(CentredTextOrigin({118, 106}, {118, 106}), (PixelPoint{0, 0}));
    // A label wider than its slot starts left of the slot, as the division gives it.
    EXPECT_EQ(CentredTextOrigin({118, 106}, {121, 20}), (PixelPoint{-1, 43}));
}

TEST(CornerCaption, SitsEightPixelsFromTheRightAndSixFromTheTop) {
    EXPECT_EQ(CornerCaptionOrigin({240, 217}, {130, 14}), (PixelPoint{102, 6}));
}

TEST(MainWindowPlacement, IsCentredInTheWorkArea) {
    EXPECT_EQ(CentredOrigin({0, 0, 1024, 738}, {522, 309}), (PixelPoint{251, 214}));
    EXPECT_EQ(CentredOrigin({100, 30, 800, 600}, {400, 301}), (PixelPoint{300, 179}));
}

}  // namespace
}  // namespace quillon

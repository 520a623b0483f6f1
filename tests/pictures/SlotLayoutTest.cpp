#include "pictures/SlotLayout.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <string>

#include "base/Text.h"
#include "support/ExpectedLayout.h"

namespace quillon {
namespace {

// ---- Geometry -------------------------------------------------------------------------

class SlotGeometryTable : public ::testing::TestWithParam<testing::ExpectedSlot> {};

TEST_P(SlotGeometryTable, PlacesEachSlotOfEachLayout) {
    const testing::ExpectedSlot& c = GetParam();
    const auto geometry = SlotRect(c.argCount, c.slot);
    ASSERT_TRUE(geometry.has_value());
    EXPECT_EQ(geometry->rect, c.rect);
    EXPECT_EQ(geometry->labelPoints, c.labelPoints);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SlotGeometryTable, ::testing::ValuesIn(testing::ExpectedSlots()),
                         [](const auto& test) {
                             return "Args" + std::to_string(test.param.argCount) + "Slot" +
                                    std::to_string(test.param.slot);
                         });

TEST(SlotGeometry, NoSlotExistsOutsideTheLayouts) {
    for (int slot = 0; slot <= 5; ++slot) {
        EXPECT_FALSE(SlotRect(0, slot).has_value()) << slot;
        EXPECT_FALSE(SlotRect(5, slot).has_value()) << slot;
        EXPECT_FALSE(SlotRect(255, slot).has_value()) << slot;
    }
    for (int args = 1; args <= 4; ++args) {
        EXPECT_FALSE(SlotRect(args, 0).has_value()) << args;
        EXPECT_FALSE(SlotRect(args, args + 1).has_value()) << args;
    }
    EXPECT_FALSE(SlotRect(-1, 1).has_value());
}

TEST(SlotGeometry, EveryLayoutFillsTheInputAreaWithoutOverlap) {
    for (int args = 1; args <= 4; ++args) {
        int left = 10000, top = 10000, right = 0, bottom = 0, area = 0;
        for (int slot = 1; slot <= args; ++slot) {
            const PixelRect r = SlotRect(args, slot)->rect;
            left = std::min(left, r.x);
            top = std::min(top, r.y);
            right = std::max(right, r.x + r.width);
            bottom = std::max(bottom, r.y + r.height);
            area += r.width * r.height;
            for (int other = 1; other < slot; ++other) {
                const PixelRect o = SlotRect(args, other)->rect;
                const bool apart = r.x >= o.x + o.width || o.x >= r.x + r.width ||
                                   r.y >= o.y + o.height || o.y >= r.y + r.height;
                EXPECT_TRUE(apart) << args << ": " << slot << " overlaps " << other;
            }
        }
        EXPECT_EQ(left, kInputArea.x) << args;
        EXPECT_EQ(top, kInputArea.y) << args;
        EXPECT_EQ(right, kInputArea.x + kInputArea.width) << args;
        EXPECT_EQ(bottom, kInputArea.y + kInputArea.height) << args;
        EXPECT_LE(area, kInputArea.width * kInputArea.height) << args;
    }
}

TEST(SlotGeometry, SlotControlsAreCreatedOnlyForOneToFourArguments) {
    EXPECT_EQ(SlotsCreated(0), 0);
    EXPECT_EQ(SlotsCreated(1), 1);
    EXPECT_EQ(SlotsCreated(4), 4);
    EXPECT_EQ(SlotsCreated(5), 0);
    EXPECT_EQ(SlotsCreated(254), 0);
}

// ---- Texts ----------------------------------------------------------------------------

TEST(SlotTexts, LabelNamesTheArgument) {
    EXPECT_EQ(SlotLabel(1), "arg #1");
    EXPECT_EQ(SlotLabel(4), "arg #4");
}

struct HintCase {
    int argCount;
    const char* hint;
};

void PrintTo(const HintCase& c, std::ostream* out) {
    *out << c.argCount << " pictures";
}

class SlotHint : public ::testing::TestWithParam<HintCase> {};

TEST_P(SlotHint, TellsHowManyPicturesToDrop) {
    EXPECT_EQ(SlotHintText(GetParam().argCount), GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SlotHint,
    ::testing::Values(HintCase{0, "No input pic necessary"},
                      HintCase{1, "Drag & drop a picture on the area above"},
                      HintCase{2, "Drag & drop 2 pictures on the areas above"},
                      HintCase{3, "Drag & drop 3 pictures on the areas above"},
                      HintCase{4, "Drag & drop 4 pictures on the areas above"},
                      HintCase{5, "Drag & drop 5 pictures on the areas above"},
                      HintCase{254, "Drag & drop 254 pictures on the areas above"}),
    [](const auto& test) { return "Args" + std::to_string(test.param.argCount); });

TEST(SlotTexts, StatusShowsFileNameAndPixelSize) {
    EXPECT_EQ(PictureStatusText("C:\\photos\\photo.jpg", 1600, 1200), "photo.jpg 1600x1200");
    EXPECT_EQ(PictureStatusText("photo.jpg", 1, 1), "photo.jpg 1x1");
    EXPECT_EQ(PictureStatusText("C:\\a b\\my photo.png", 640, 480), "my photo.png 640x480");
    EXPECT_EQ(PictureStatusText("C:\\folder\\", 2, 3), " 2x3");
}

TEST(SlotTexts, FileNameIsWhatFollowsTheLastBackslash) {
    EXPECT_EQ(FileNameOf("C:\\x\\y\\z.png"), "z.png");
    EXPECT_EQ(FileNameOf("z.png"), "z.png");
    EXPECT_EQ(FileNameOf(""), "");
    EXPECT_EQ(FileNameOf("C:/x/y.png"), "C:/x/y.png");
}

TEST(UnrepresentablePaths, AreRecognisedByTheirMark) {
    EXPECT_TRUE(HasUnrepresentableMark("C:\\pictures\\?.png"));
    EXPECT_TRUE(HasUnrepresentableMark("C:\\?\\a.png"));
    EXPECT_TRUE(HasUnrepresentableMark("\\\\?\\C:\\??.png"));
    EXPECT_FALSE(HasUnrepresentableMark("C:\\pictures\\caf\xe9.png"));
    EXPECT_FALSE(HasUnrepresentableMark("\\\\?\\C:\\pictures\\a.png"));
    EXPECT_FALSE(HasUnrepresentableMark(""));
}

}  // namespace
}  // namespace quillon

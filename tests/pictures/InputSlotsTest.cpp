#include "pictures/InputSlots.h"

#include <gtest/gtest.h>

#include <memory>

namespace quillon {
namespace {

// Counts its own destruction, standing in for a decoded picture.
class CountedPicture final : public HeldPicture {
  public:
    explicit CountedPicture(int* released) : released_(released) {}
    ~CountedPicture() override { ++*released_; }

  private:
    int* released_;
};

class InputSlotTableTest : public ::testing::Test {
  protected:
    void SetUp() override { CreateInputSlots(); }
    void TearDown() override { CreateInputSlots(); }
    InputSlot& Slot(int i) { return InputSlots()[static_cast<std::size_t>(i)]; }
    void Fill(int i) { Slot(i).picture = std::make_unique<CountedPicture>(&released_); }
    int released_ = 0;
};

TEST_F(InputSlotTableTest, StartsEmptyWithSlotsBoundToTheirControls) {
    EXPECT_EQ(Slot(0).controlId, 0);
    for (int i = 1; i <= kSlotCount; ++i) {
        EXPECT_EQ(Slot(i).controlId, 1100 + i);
        EXPECT_TRUE(Slot(i).path.empty());
        EXPECT_FALSE(Slot(i).picture);
        EXPECT_EQ(Slot(i).width, 0);
        EXPECT_EQ(Slot(i).height, 0);
    }
}

TEST_F(InputSlotTableTest, ClearingASlotReleasesItsPictureAndKeepsItsControl) {
    Fill(2);
    Slot(2).path = "C:\\a.png";
    Slot(2).width = 10;
    Slot(2).height = 20;
    ClearInputSlot(Slot(2));
    EXPECT_EQ(released_, 1);
    EXPECT_FALSE(Slot(2).picture);
    EXPECT_TRUE(Slot(2).path.empty());
    EXPECT_EQ(Slot(2).width, 0);
    EXPECT_EQ(Slot(2).height, 0);
    EXPECT_EQ(Slot(2).controlId, 1102);
}

TEST_F(InputSlotTableTest, RecreatingTheTableReleasesEveryPicture) {
    Fill(0);
    Fill(3);
    CreateInputSlots();
    EXPECT_EQ(released_, 2);
}

TEST_F(InputSlotTableTest, ControlIdsMapToSlotsOneToFour) {
    EXPECT_EQ(SlotForControlId(InputSlots(), 1101), 1);
    EXPECT_EQ(SlotForControlId(InputSlots(), 1104), 4);
    EXPECT_EQ(SlotForControlId(InputSlots(), 1100), 0);
    EXPECT_EQ(SlotForControlId(InputSlots(), 1105), 0);
    EXPECT_EQ(SlotForControlId(InputSlots(), 1004), 0);
    EXPECT_EQ(SlotForControlId(InputSlots(), 0), 0);
}

TEST_F(InputSlotTableTest, UnboundSlotsMatchNoWindow) {
    InputSlotTable unbound;
    EXPECT_EQ(SlotForControlId(unbound, 0), 0);
}

TEST_F(InputSlotTableTest, ScriptCanRunOnceEverySlotItNeedsIsFilled) {
    EXPECT_TRUE(AllInputsFilled(InputSlots(), 0));
    EXPECT_FALSE(AllInputsFilled(InputSlots(), 2));
    Fill(2);
    EXPECT_FALSE(AllInputsFilled(InputSlots(), 2));
    Fill(1);
    EXPECT_TRUE(AllInputsFilled(InputSlots(), 2));
    EXPECT_TRUE(AllInputsFilled(InputSlots(), 1));
    EXPECT_FALSE(AllInputsFilled(InputSlots(), 3));
}

TEST_F(InputSlotTableTest, OutputPreviewDoesNotCountAsAnInput) {
    Fill(0);
    EXPECT_FALSE(AllInputsFilled(InputSlots(), 1));
}

TEST_F(InputSlotTableTest, MoreArgumentsThanSlotsCanNeverRun) {
    for (int i = 1; i <= kSlotCount; ++i)
        Fill(i);
    EXPECT_TRUE(AllInputsFilled(InputSlots(), 4));
    EXPECT_FALSE(AllInputsFilled(InputSlots(), 5));
    EXPECT_FALSE(AllInputsFilled(InputSlots(), 254));
}

}  // namespace
}  // namespace quillon

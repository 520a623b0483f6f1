#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/ExpectedLayout.h"

namespace quillon {
namespace {

class MainWindowControl : public ::testing::TestWithParam<std::size_t> {};

TEST_P(MainWindowControl, HasItsPlaceInTheCreationOrder) {
    const testing::ExpectedControl& expected = testing::ExpectedControls().at(GetParam());
    const ControlEntry& entry = MainWindowControls().at(GetParam());
    EXPECT_EQ(entry.id, expected.id);
    if (entry.kind == ControlKind::StatusLine || entry.kind == ControlKind::TextButton) {
        EXPECT_STREQ(entry.text, expected.text);
    }
    EXPECT_EQ(entry.rect, expected.rect);
    EXPECT_EQ(entry.enabled, expected.enabled);
}

INSTANTIATE_TEST_SUITE_P(Table, MainWindowControl, ::testing::Range<std::size_t>(0, 8),
                         [](const auto& test) {
                             return "Control" +
                                    std::to_string(testing::ExpectedControls()[test.param].id);
                         });

TEST(MainWindowLayout, ControlsAreOfTheirKind) {
    const auto& controls = MainWindowControls();
    ASSERT_EQ(controls.size(), 8u);
    EXPECT_EQ(controls[0].kind, ControlKind::ScriptList);
    EXPECT_EQ(controls[1].kind, ControlKind::PictureArea);
    EXPECT_EQ(controls[2].kind, ControlKind::StatusLine);
    EXPECT_EQ(controls[3].kind, ControlKind::BitmapButton);
    EXPECT_EQ(controls[3].text, std::string("PEN"));
    EXPECT_EQ(controls[4].kind, ControlKind::TextButton);
    EXPECT_EQ(controls[5].kind, ControlKind::PictureArea);
    EXPECT_EQ(controls[6].kind, ControlKind::StatusLine);
    EXPECT_EQ(controls[7].kind, ControlKind::BitmapButton);
    EXPECT_EQ(controls[7].text, std::string("MNU"));
}

TEST(MainWindowLayout, ControlIdsAreDistinct) {
    std::set<int> ids;
    for (const ControlEntry& entry : MainWindowControls())
        EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
}

TEST(MainWindowLayout, ScriptListIsTwentyFourPixelsPerEntry) {
    EXPECT_EQ(ScriptListHeight(1), 24);
    EXPECT_EQ(ScriptListHeight(3), 72);
    EXPECT_EQ(ScriptListHeight(40), 960);
}

TEST(MainWindowLayout, FrameAndTitle) {
    EXPECT_EQ(kMainClientSize.width, 516);
    EXPECT_EQ(kMainClientSize.height, 280);
    EXPECT_STREQ(kMainWindowTitle, "Quillon v0.1 - Veltrane 2014");
}

}  // namespace
}  // namespace quillon

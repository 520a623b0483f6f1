#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/MenuIds.h"

namespace quillon {
namespace {

struct ControlCase {
    std::size_t order;
    int id;
    ControlKind kind;
    std::string text;
    PixelRect rect;
    bool enabled;
};

class MainWindowControl : public ::testing::TestWithParam<ControlCase> {};

TEST_P(MainWindowControl, HasItsPlaceInTheCreationOrder) {
    const ControlCase& c = GetParam();
    const ControlEntry& entry = MainWindowControls().at(c.order);
    EXPECT_EQ(entry.id, c.id);
    EXPECT_EQ(entry.kind, c.kind);
    EXPECT_EQ(entry.text, c.text);
    EXPECT_EQ(entry.rect.x, c.rect.x);
    EXPECT_EQ(entry.rect.y, c.rect.y);
    EXPECT_EQ(entry.rect.width, c.rect.width);
    EXPECT_EQ(entry.rect.height, c.rect.height);
    EXPECT_EQ(entry.enabled, c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MainWindowControl,
    ::testing::Values(
        ControlCase{0, 1001, ControlKind::ScriptList, "", {8, 8, 240, 24}, true},
        ControlCase{1, 1101, ControlKind::PictureArea, "", {8, 40, 240, 216}, true},
        ControlCase{2,
                    1003,
                    ControlKind::StatusLine,
                    "Select a script from the drop-down menu",
                    {8, 258, 240, 18},
                    true},
        ControlCase{3, 1002, ControlKind::BitmapButton, "PEN", {264, 8, 24, 24}, false},
        ControlCase{4,
                    1006,
                    ControlKind::TextButton,
                    "Execute ImageMagick Script",
                    {290, 8, 214, 24},
                    false},
        ControlCase{5, 1004, ControlKind::PictureArea, "", {264, 40, 240, 217}, true},
        ControlCase{6,
                    1005,
                    ControlKind::StatusLine,
                    "   ...or use the popup menu on the right -->",
                    {264, 258, 228, 18},
                    true},
        ControlCase{7, 1007, ControlKind::BitmapButton, "MNU", {493, 257, 24, 24}, true}),
    [](const auto& test) { return "Control" + std::to_string(test.param.id); });

TEST(MainWindowLayout, ControlIdsAreDistinct) {
    std::set<int> ids;
    for (const ControlEntry& entry : MainWindowControls())
        EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
}

TEST(MainWindowLayout, MenuButtonReachesOnePixelBelowTheClientArea) {
    const PixelRect menu = MainWindowControls().back().rect;
    EXPECT_EQ(menu.y + menu.height, kMainClientSize.height + 1);
    EXPECT_EQ(menu.x + menu.width, kMainClientSize.width + 1);
}

TEST(MainWindowLayout, OutputAreaIsOnePixelTallerThanTheFirstSlot) {
    EXPECT_EQ(MainWindowControls()[5].rect.height - MainWindowControls()[1].rect.height, 1);
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

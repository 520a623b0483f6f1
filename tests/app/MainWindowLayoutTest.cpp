#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace quillon {
namespace {

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

}  // namespace
}  // namespace quillon

// Where pictures from Explorer go, and how a second start's block of paths is read.
#include "app/HandedPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

struct PlanCase {
    const char* what;
    std::size_t count;
    bool anyFolder;
    int argCount;
    const char* filled;  // one letter a slot, from slot 1: 'x' filled, '-' empty
    const char* plan;    // "wait", "set" (slot 1's set), or the slots' digits in order
};

class HandedPicturePlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(HandedPicturePlan, GoesWhereADropWouldPutIt) {
    const PlanCase& c = GetParam();
    std::vector<bool> filled;
    for (const char* at = c.filled; *at != '\0'; ++at)
        filled.push_back(*at == 'x');
    const PicturePlan plan = PlanHandedPictures(c.count, c.anyFolder, c.argCount, filled);
    std::string got = plan.waits ? "wait" : plan.slotOneSet ? "set" : "";
    for (int slot : plan.slots)
        got += std::to_string(slot);
    EXPECT_EQ(got, c.plan) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandedPicturePlan,
    ::testing::Values(PlanCase{"no script takes pictures yet", 2, false, 0, "", "wait"},
                      PlanCase{"a script beyond the four slots", 1, false, 5, "-----", "wait"},

                      PlanCase{"two pictures fill slots 1 and 2", 2, false, 2, "--", "12"},
                      PlanCase{"one picture goes to the first empty slot", 1, false, 3, "x--", "2"},
                      PlanCase{"too few empty slots: from slot 1 on", 2, false, 3, "xx-", "12"},
                      PlanCase{"every slot full: the first is replaced", 1, false, 2, "xx", "1"},
                      PlanCase{"more pictures than slots make a set", 3, false, 2, "--", "set"},
                      PlanCase{"a folder makes slot 1's set", 1, true, 4, "----", "set"}));

TEST(HandedPaths, ComeOutOfTheBlockAsTheyWentInAndABadBlockGivesOnlyWhatItHolds) {
    const std::vector<std::u16string> paths = {u"C:\\a b\\\u00e9t\u00e9.jpg", u"D:\\pics\\"};
    const std::u16string joined = JoinHandedPaths(paths);
    EXPECT_EQ(joined.size(), 24u);
    EXPECT_EQ(SplitHandedPaths(joined.data(), joined.size() * 2), paths);

    const std::u16string block(u"a\0\0b", 4);
    EXPECT_EQ(SplitHandedPaths(block.data(), 8),
              (std::vector<std::u16string>{u"a", u"b"}));  // no last NUL
    EXPECT_EQ(SplitHandedPaths(block.data(), 7),
              (std::vector<std::u16string>{u"a"}));  // a stray byte
    EXPECT_TRUE(SplitHandedPaths(nullptr, 8).empty());
}

}  // namespace
}  // namespace quillon

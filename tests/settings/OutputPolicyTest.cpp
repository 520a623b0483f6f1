#include "settings/OutputPolicy.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(PolicyFromBytes, MissingBytesMeanAsk) {
    const OutputPolicy empty = PolicyFromBytes("");
    EXPECT_EQ(empty.zeroArgPolicy, -1);
    EXPECT_EQ(empty.argPolicy, -1);
    const OutputPolicy one = PolicyFromBytes("\x02");
    EXPECT_EQ(one.zeroArgPolicy, 2);
    EXPECT_EQ(one.argPolicy, -1);
}

TEST(PolicyFromBytes, BytesAreUnsigned) {
    const OutputPolicy policy = PolicyFromBytes("\xFF\x03");
    EXPECT_EQ(policy.zeroArgPolicy, 255);
    EXPECT_EQ(policy.argPolicy, 3);
}

TEST(SettingsPathFor, ReplacesTheLastThreeCharacters) {
    EXPECT_EQ(SettingsPathFor("D:\\Apps\\tool.exe"), "D:\\Apps\\tool.opt");
    EXPECT_EQ(SettingsPathFor("D:\\Apps\\TOOL.EXE"), "D:\\Apps\\TOOL.opt");
    EXPECT_EQ(SettingsPathFor("ab"), "opt");
}

}  // namespace
}  // namespace quillon

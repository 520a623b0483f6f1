// Names written into batch files in the code page the command interpreter reads them in.
#include "execution/ConsoleText_win.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(ConsoleText, AnAccentedAnsiNameBecomesItsOemBytes) {
    EXPECT_EQ(RecodeExactly("caf\xE9 cr\xE8me", 1252, 437), "caf\x82 cr\x8Ame");
    EXPECT_EQ(RecodeExactly("plain.jpg", 1252, 437), "plain.jpg");
    EXPECT_EQ(RecodeExactly("", 1252, 437), "");
}

TEST(ConsoleText, ALetterTheConsoleLacksIsRefusedNotGuessed) {
    // The euro sign and a-with-macron have no form in code page 437; best fit would make
    // them "E" and "a", which name other files.
    EXPECT_FALSE(RecodeExactly("price\x80.jpg", 1252, 437).has_value());
    EXPECT_FALSE(RecodeExactly("\xE2\x82\xAC", 65001, 437).has_value());
}

TEST(ConsoleText, AUtf8ConsoleTakesEveryName) {
    EXPECT_EQ(RecodeExactly("caf\xE9", 1252, 65001), "caf\xC3\xA9");
    EXPECT_EQ(RecodeExactly("\xCF\x89.png", 65001, 65001), "\xCF\x89.png");
}

}  // namespace
}  // namespace quillon

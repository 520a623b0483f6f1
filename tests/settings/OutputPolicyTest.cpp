#include "settings/OutputPolicy.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(PolicyFromBytes, MissingBytesMeanAsk) {
    const OutputPolicy empty = PolicyFromBytes("");
    EXPECT_EQ(empty.withoutPictures, OutputPlace::kAskUnset);
    EXPECT_EQ(empty.withPictures, OutputPlace::kAskUnset);
    const OutputPolicy one = PolicyFromBytes("\x02");
    EXPECT_EQ(one.withoutPictures, OutputPlace::kAsk);
    EXPECT_EQ(one.withPictures, OutputPlace::kAskUnset);
}

TEST(PolicyFromBytes, EachByteNumbersAnOptionOfItsGroup) {
    const OutputPolicy policy = PolicyFromBytes("\x01\x02");
    EXPECT_EQ(policy.withoutPictures, OutputPlace::kProgramFolder);
    EXPECT_EQ(policy.withPictures, OutputPlace::kProgramFolder);
    const OutputPolicy beyond = PolicyFromBytes("\xFF\x03");
    EXPECT_EQ(beyond.withoutPictures, OutputPlace::kAskUnset);
    EXPECT_EQ(beyond.withPictures, OutputPlace::kAsk);
    EXPECT_EQ(PolicyBytes({OutputPlace::kAsk, OutputPlace::kFirstPictureFolder}), "\x02\x01");
}

TEST(ChoicesFromBytes, OnlyOurMarkedThirdByteChoosesAnything) {
    for (const SetRunChoices choices : {SetRunChoices{true, false}, SetRunChoices{false, true}}) {
        const SetRunChoices read = ChoicesFromBytes(std::string("\x01\x01") + ChoicesByte(choices));
        EXPECT_EQ(read.withSubfolders, choices.withSubfolders);
        EXPECT_EQ(read.keepDates, choices.keepDates);
    }
    for (const char* bytes : {"\x01\x01", "\x01\x01\x03", "\x01\x01\xC3"})
        EXPECT_FALSE(ChoicesFromBytes(bytes).withSubfolders || ChoicesFromBytes(bytes).keepDates);
}

TEST(SettingsPathFor, ReplacesTheLastThreeCharacters) {
    EXPECT_EQ(SettingsPathFor("D:\\Apps\\tool.exe"), "D:\\Apps\\tool.opt");
    EXPECT_EQ(SettingsPathFor("D:\\Apps\\TOOL.EXE"), "D:\\Apps\\TOOL.opt");
    EXPECT_EQ(SettingsPathFor("ab"), "opt");
}

}  // namespace
}  // namespace quillon

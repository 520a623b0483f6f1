// What a preview's folder gets and what it says when it makes no picture.
#include "execution/PreviewRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

TEST(PreviewInputs, GiveEachCopyItsPicturesNameAndTheFirstOfTwoThatShareOne) {
    const std::vector<PreviewPicture> pictures = {{"C:\\a\\Beach.jpg", "T:\\r0.png", {8, 6}},
                                                  {"D:\\b c\\x.tif", "T:\\r1.png", {4, 4}},
                                                  {"E:\\beach.JPG", "T:\\r2.png", {2, 2}}};
    const std::vector<PreviewInput> inputs = PreviewInputs(pictures);
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].copy, "T:\\r0.png");
    EXPECT_EQ(inputs[0].name, "Beach.jpg");
    EXPECT_EQ(inputs[1].copy, "T:\\r1.png");
    EXPECT_EQ(inputs[1].name, "x.tif");
    EXPECT_TRUE(PreviewInputs({}).empty());
}

struct FailureCase {
    const char* printed;
    bool written;
    const char* said;
};

class PreviewFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PreviewFailure, SaysTheFirstLineImageMagickPrintedOrWhatIsMissing) {
    EXPECT_EQ(PreviewFailureText(GetParam().printed, "a_s.png", GetParam().written),
              GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewFailure,
    ::testing::Values(
        FailureCase{"convert: unable to open image `a.png'\r\nconvert: no images\r\n", false,
                    "convert: unable to open image `a.png'"},
        FailureCase{"\r\n\r\n  late words  \r\n", false, "late words"},
        FailureCase{"WARNING: The convert command is deprecated in IMv7, use \"magick\" instead "
                    "of \"convert\" or \"magick convert\"\r\nreal trouble\r\n",
                    false, "real trouble"},
        FailureCase{"", false, "the script made no a_s.png"},
        FailureCase{"\r\n", true, "the script made an empty a_s.png"}));

}  // namespace
}  // namespace quillon

#include "execution/PictureReduction.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quillon {
namespace {

struct ReportCase {
    const char* output;
    const char* format;  // null: no report
    int width;
    int height;
};

class ImageMagickReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ImageMagickReport, IsReadFromTheLastWholeLine) {
    const ReportCase& c = GetParam();
    const std::optional<ReportedPicture> report = ParseReport(c.output);
    ASSERT_EQ(report.has_value(), c.format != nullptr) << c.output;
    if (report) {
        EXPECT_EQ(report->format, c.format);
        EXPECT_EQ(report->size, (PixelSize{c.width, c.height}));
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, ImageMagickReport,
                         ::testing::Values(ReportCase{"WEBP 4000 3000\n", "WEBP", 4000, 3000},
                                           ReportCase{"HEIC 640 200\r\n", "HEIC", 640, 200},
                                           ReportCase{"warning: odd tag\r\nPSD 1 2", "PSD", 1, 2},
                                           ReportCase{"PNG 3 4\nJPEG 5 6\n", "JPEG", 5, 6},
                                           ReportCase{"", nullptr, 0, 0},
                                           ReportCase{"WEBP 0 30\n", nullptr, 0, 0},
                                           ReportCase{"WEBP 12x30\n", nullptr, 0, 0},
                                           ReportCase{"WEBP 99999999999 30\n", nullptr, 0, 0}));

TEST(ImageMagickInput, IsTheFirstFrameThroughTheCoderTheExtensionNames) {
    EXPECT_EQ(FirstFrameInput("C:\\My Photos\\beach.heic"), "HEIC:C:\\My Photos\\beach.heic[0]");
    EXPECT_EQ(FirstFrameInput("C:\\a.b\\shot.Cr2"), "CR2:C:\\a.b\\shot.Cr2[0]");
    EXPECT_EQ(FirstFrameInput("C:\\a.b\\noextension"), std::nullopt);
    EXPECT_EQ(FirstFrameInput("C:\\x\\trick.msl:"), std::nullopt);
}

TEST(ImageMagickRefusal, NamesTheFormatOnlyWhenThereIsNoDecoderForIt) {
    EXPECT_EQ(UnreadableFormatText("convert: no decode delegate for this image format `HEIC' @ "
                                   "error/constitute.c/ReadImage/594.\r\n",
                                   "C:\\p\\phone.heic"),
              "This ImageMagick cannot read HEIC pictures");
    EXPECT_EQ(UnreadableFormatText("magick: no decode delegate for this image format `' @ x",
                                   "C:\\p\\phone.avif"),
              "This ImageMagick cannot read AVIF pictures");
    EXPECT_EQ(UnreadableFormatText("convert: corrupt image `C:\\p\\a.webp'", "C:\\p\\a.webp"), "");
}

}  // namespace
}  // namespace quillon

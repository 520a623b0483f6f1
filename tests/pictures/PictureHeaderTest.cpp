#include "pictures/PictureHeader.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

// The first 24 bytes of a PNG: signature, IHDR's length and type, width and height.
std::string Png(std::initializer_list<int> sizeBytes, const char* type = "IHDR") {
    return Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}) + type +
           Bytes(sizeBytes);
}

// A BMP file header (14 bytes) followed by the start of an info header.
std::string Bmp(std::initializer_list<int> infoBytes) {
    return Bytes({'B', 'M', 0x46, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0}) + Bytes(infoBytes);
}

const std::string kSoi = Bytes({0xFF, 0xD8});
// A JFIF APP0 segment of 16 bytes, length included.
const std::string kApp0 =
    Bytes({0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
// A baseline frame header: 64 wide, 48 high, three components.
const std::string kSof0 =
    Bytes({0xFF, 0xC0, 0, 17, 8, 0, 48, 0, 64, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
const std::string kSos = Bytes({0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 0x3F, 0});

struct HeaderCase {
    const char* name;
    std::string bytes;
    std::optional<PixelSize> size;
};

class PictureHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(PictureHeader, GivesTheRecordedSizeOrNone) {
    const std::optional<PixelSize> size = PictureHeaderSize(GetParam().bytes);
    ASSERT_EQ(size.has_value(), GetParam().size.has_value());
    if (size) {
        EXPECT_EQ(size->width, GetParam().size->width);
        EXPECT_EQ(size->height, GetParam().size->height);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Png, PictureHeader,
    ::testing::Values(
        HeaderCase{"SidesAreBigEndian", Png({0, 0, 0, 64, 0, 0, 0, 48}), PixelSize{64, 48}},
        HeaderCase{"AllFourBytesOfASideCount", Png({0, 1, 0x23, 0x45, 0, 0, 2, 1}),
                   PixelSize{0x12345, 0x201}},
        HeaderCase{"FirstChunkMustBeIhdr", Png({0, 0, 0, 64, 0, 0, 0, 48}, "IDAT"), std::nullopt},
        HeaderCase{"CutInsideTheHeightGivesNone", Png({0, 0, 0, 64, 0, 0, 0}), std::nullopt},
        HeaderCase{"ZeroWidthGivesNone", Png({0, 0, 0, 0, 0, 0, 0, 48}), std::nullopt},
        HeaderCase{"SideBeyondASigned32BitCountGivesNone", Png({0x80, 0, 0, 0, 0, 0, 0, 48}),
                   std::nullopt}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Gif, PictureHeader,
    ::testing::Values(HeaderCase{"Gif89aSidesAreLittleEndian",
                                 std::string("GIF89a") + Bytes({100, 0, 50, 0}),
                                 PixelSize{100, 50}},
                      HeaderCase{"Gif87aIsReadAlike",
                                 std::string("GIF87a") + Bytes({0x2C, 0x01, 0x00, 0x01}),
                                 PixelSize{300, 256}},
                      HeaderCase{"OtherVersionGivesNone",
                                 std::string("GIF88a") + Bytes({100, 0, 50, 0}), std::nullopt},
                      HeaderCase{"CutInsideTheHeightGivesNone",
                                 std::string("GIF89a") + Bytes({100, 0, 50}), std::nullopt}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Bmp, PictureHeader,
    ::testing::Values(HeaderCase{"InfoHeaderSidesAreSigned32Bit",
                                 Bmp({40, 0, 0, 0, 0, 1, 0, 0, 24, 0, 0, 0}), PixelSize{256, 24}},
                      HeaderCase{"NegativeHeightIsATopDownPicture",
                                 Bmp({124, 0, 0, 0, 10, 0, 0, 0, 0xE8, 0xFF, 0xFF, 0xFF}),
                                 PixelSize{10, 24}},
                      HeaderCase{"CoreHeaderSidesAre16Bit",
                                 Bmp({12, 0, 0, 0, 0x20, 0x03, 0x58, 0x02}), PixelSize{800, 600}},
                      HeaderCase{"NegativeWidthGivesNone",
                                 Bmp({40, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF, 24, 0, 0, 0}),
                                 std::nullopt},
                      HeaderCase{"ZeroHeightGivesNone", Bmp({40, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0}),
                                 std::nullopt},
                      HeaderCase{"LowestHeightGivesNone",
                                 Bmp({40, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0x80}), std::nullopt},
                      HeaderCase{"InfoHeaderTooSmallGivesNone",
                                 Bmp({8, 0, 0, 0, 10, 0, 0, 0, 24, 0, 0, 0}), std::nullopt},
                      HeaderCase{"CutInsideTheHeightGivesNone",
                                 Bmp({40, 0, 0, 0, 10, 0, 0, 0, 24, 0}), std::nullopt}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Jpeg, PictureHeader,
    ::testing::Values(
        HeaderCase{"FrameHeaderGivesHeightThenWidth", kSoi + kApp0 + kSof0 + kSos,
                   PixelSize{64, 48}},
        HeaderCase{"ProgressiveFrameCounts",
                   kSoi + Bytes({0xFF, 0xC2, 0, 11, 8, 0x03, 0x00, 0x04, 0x00, 1, 1, 0x11, 0}),
                   PixelSize{1024, 768}},
        HeaderCase{"FillBytesBeforeAMarkerAreSkipped", kSoi + kApp0 + Bytes({0xFF, 0xFF}) + kSof0,
                   PixelSize{64, 48}},
        // The metadata segment holds bytes that look like a frame header; its length says
        // where it ends, and only the real frame header after it counts.
        HeaderCase{"SegmentsAreSkippedByTheirLength",
                   kSoi + Bytes({0xFF, 0xE1, 0, 11, 0xFF, 0xC0, 0, 17, 8, 0, 9, 0, 9}) + kSof0,
                   PixelSize{64, 48}},
        HeaderCase{"HuffmanTableIsNoFrame", kSoi + Bytes({0xFF, 0xC4, 0, 7, 8, 0, 9, 0, 9}) + kSof0,
                   PixelSize{64, 48}},
        HeaderCase{"ScanBeforeAnyFrameGivesNone", kSoi + kApp0 + kSos + kSof0, std::nullopt},
        HeaderCase{"ZeroHeightLeftForLaterGivesNone",
                   kSoi + Bytes({0xFF, 0xC0, 0, 11, 8, 0, 0, 0, 64, 1, 1, 0x11, 0}), std::nullopt},
        HeaderCase{"CutInsideTheFrameHeaderGivesNone", kSoi + kApp0 + kSof0.substr(0, 8),
                   std::nullopt},
        HeaderCase{"SegmentRunningPastTheEndGivesNone",
                   kSoi + Bytes({0xFF, 0xE1, 0x40, 0x00, 1, 2, 3}), std::nullopt},
        HeaderCase{"LengthBelowTwoGivesNone", kSoi + Bytes({0xFF, 0xE1, 0, 1}) + kSof0,
                   std::nullopt},
        HeaderCase{"ByteOtherThanAMarkerGivesNone", kSoi + Bytes({0x12, 0x34}) + kSof0,
                   std::nullopt},
        HeaderCase{"EndOfPictureBeforeAFrameGivesNone", kSoi + Bytes({0xFF, 0xD9}) + kSof0,
                   std::nullopt}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(OtherFiles, PictureHeader,
                         ::testing::Values(HeaderCase{"EmptyFile", "", std::nullopt},
                                           HeaderCase{"Tiff", Bytes({'I', 'I', 42, 0, 8, 0, 0, 0}),
                                                      std::nullopt},
                                           HeaderCase{"Text", "convert a.png b.png", std::nullopt},
                                           HeaderCase{"LoneJpegStart", kSoi, std::nullopt}),
                         testing::CaseName());

}  // namespace
}  // namespace quillon

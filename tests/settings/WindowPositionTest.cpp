#include "settings/WindowPosition.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

TEST(PositionFileText, NegativeXTakesTheBlanksPlaceAndEachLineEndsWithBlankCrLf) {
    EXPECT_EQ(PositionFileText({-8, 20}), "-8 \r\n 20 \r\n");
    EXPECT_EQ(PositionFileText({0, -1200}), " 0 \r\n-1200 \r\n");
}

struct ReadCase {
    const char* name;
    const char* text;
    PixelPoint expected;
};

class PositionReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(PositionReading, GivesTheCornerTheLinesStartWith) {
    const PixelPoint read = PositionFromText(GetParam().text);
    EXPECT_EQ(read.x, GetParam().expected.x);
    EXPECT_EQ(read.y, GetParam().expected.y);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PositionReading,
    ::testing::Values(ReadCase{"AsWritten", "-8 \r\n 20 \r\n", {-8, 20}},
                      ReadCase{"EmptyFileIsTheOrigin", "", {0, 0}},
                      ReadCase{"OneLineGivesYZero", " 150 \r\n", {150, 0}},
                      ReadCase{"LastLineWithoutLineEnd", " 150 \r\n 75", {150, 75}},
                      ReadCase{"PlainLineFeeds", "3\n4\n", {3, 4}},
                      ReadCase{"TrailingTextIgnored", " 12px wide\r\n 34;junk\r\n", {12, 34}},
                      ReadCase{"LineWithoutNumberIsZero", "left\r\n 34 \r\n", {0, 34}},
                      ReadCase{"BlankFirstLineIsZero", "\r\n 34 \r\n", {0, 34}},
                      ReadCase{"LoneSignIsZero", " -\r\n+\r\n", {0, 0}},
                      ReadCase{"BlanksBetweenSignAndDigitsAreNoNumber", "- 8\r\n 9\r\n", {0, 9}},
                      ReadCase{"FractionsRoundHalfToEven", "12.5\r\n13.5\r\n", {12, 14}},
                      ReadCase{"NegativeHalfRoundsToEven", "-2.5\r\n-0.6\r\n", {-2, -1}},
                      ReadCase{"LinesAfterTheSecondIgnored", "1\r\n2\r\n3\r\n", {1, 2}},
                      ReadCase{"HugeValuesHeldAtTheIntLimits",
                               "99999999999999999999\r\n-99999999999999999999\r\n",
                               {INT_MAX, INT_MIN}}),
    testing::CaseName());

TEST(PositionFromText, ReadsBackWhatWasWritten) {
    for (const PixelPoint corner :
         {PixelPoint{-8, 20}, PixelPoint{0, 0}, PixelPoint{-32000, 4095}}) {
        EXPECT_EQ(PositionFromText(PositionFileText(corner)), corner);
    }
}

struct NameCase {
    const char* path;
    const char* expected;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.path;
}

class PositionFileNaming : public ::testing::TestWithParam<NameCase> {};

TEST_P(PositionFileNaming, IsTheProgramNameWithoutFolderAndLastExtension) {
    EXPECT_EQ(PositionFileName(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PositionFileNaming,
                         ::testing::Values(NameCase{"C:\\Apps\\Quillon.exe", "Quillon.pos"},
                                           NameCase{"C:\\My.Apps\\tool", "tool.pos"},
                                           NameCase{"D:\\x\\a.b.exe", "a.b.pos"},
                                           NameCase{"Quillon.exe", "Quillon.pos"}));

}  // namespace
}  // namespace quillon

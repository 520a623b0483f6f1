#include "base/Rounding.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>

namespace quillon {
namespace {

struct RoundCase {
    double value;
    double rounded;
};

void PrintTo(const RoundCase& c, std::ostream* out) {
    *out << c.value;
}

class RoundHalfEvenTable : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTable, HalvesGoToTheEvenNeighbourOthersToTheNearest) {
    EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEvenTable,
                         ::testing::Values(RoundCase{0.5, 0.0}, RoundCase{1.5, 2.0},
                                           RoundCase{2.5, 2.0}, RoundCase{3.5, 4.0},
                                           RoundCase{-0.5, 0.0}, RoundCase{-1.5, -2.0},
                                           RoundCase{-2.5, -2.0}, RoundCase{2.4999, 2.0},
                                           RoundCase{2.5001, 3.0}, RoundCase{-2.6, -3.0},
                                           RoundCase{56.48, 56.0}, RoundCase{18.56, 19.0},
                                           RoundCase{7.0, 7.0}, RoundCase{0.0, 0.0},
                                           RoundCase{4503599627370497.0, 4503599627370497.0}));

TEST(RoundHalfEven, LeavesNanAndInfinitiesAlone) {
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(RoundHalfEven(-std::numeric_limits<double>::infinity()),
              -std::numeric_limits<double>::infinity());
}

TEST(RoundHalfEvenToInt, SaturatesAtTheEndsOfTheRangeAndMapsNanToZero) {
    EXPECT_EQ(RoundHalfEvenToInt(2.5), 2);
    EXPECT_EQ(RoundHalfEvenToInt(-3.5), -4);
    EXPECT_EQ(RoundHalfEvenToInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundHalfEvenToInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundHalfEvenToInt(std::nan("")), 0);
}

struct QuotientCase {
    std::int64_t numerator;
    std::int64_t denominator;
    std::int64_t rounded;
};

void PrintTo(const QuotientCase& c, std::ostream* out) {
    *out << c.numerator << " / " << c.denominator;
}

class RoundHalfEvenQuotientTable : public ::testing::TestWithParam<QuotientCase> {};

TEST_P(RoundHalfEvenQuotientTable, RoundsExactHalvesToEven) {
    EXPECT_EQ(RoundHalfEvenQuotient(GetParam().numerator, GetParam().denominator),
              GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundHalfEvenQuotientTable,
    ::testing::Values(QuotientCase{5, 10, 0}, QuotientCase{15, 10, 2}, QuotientCase{25, 10, 2},
                      QuotientCase{35, 10, 4}, QuotientCase{-5, 10, 0}, QuotientCase{-15, 10, -2},
                      QuotientCase{-25, 10, -2}, QuotientCase{-26, 10, -3},
                      QuotientCase{-24, 10, -2}, QuotientCase{149999, 100000, 1},
                      QuotientCase{150001, 100000, 2}, QuotientCase{5648000, 100000, 56},
                      QuotientCase{1, 3, 0}, QuotientCase{2, 3, 1}, QuotientCase{0, 7, 0},
                      QuotientCase{std::numeric_limits<std::int64_t>::max(),
                                   std::numeric_limits<std::int64_t>::max(), 1},
                      QuotientCase{std::numeric_limits<std::int64_t>::max() - 1,
                                   std::numeric_limits<std::int64_t>::max(), 1},
                      QuotientCase{7, 0, 0}, QuotientCase{7, -2, 0}));

}  // namespace
}  // namespace quillon

// Rounding to the nearest integer with halves going to the even neighbour (banker's
// rounding), as the program's layouts need it: 2.5 gives 2, 3.5 gives 4, -2.5 gives -2.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace quillon {

// The nearest integral value; an exact half goes to the even one. NaN and the infinities
// are returned unchanged.
inline double RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// numerator / denominator rounded half to even, exactly (0 when the denominator is not
// positive). Layouts whose inputs are whole pixels use this so that no binary fraction can
// turn a true half into a near-half.
constexpr std::int64_t RoundHalfEvenQuotient(std::int64_t numerator, std::int64_t denominator) {
    if (denominator <= 0)
        return 0;
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {  // floor division, so that the remainder lies in [0, denominator)
        quotient -= 1;
        remainder += denominator;
    }
    const std::int64_t rest = denominator - remainder;  // compared instead of doubling
    if (remainder < rest)
        return quotient;
    if (remainder > rest)
        return quotient + 1;
    return quotient % 2 == 0 ? quotient : quotient + 1;
}

// RoundHalfEven into an int, saturating at the ends of its range (NaN gives 0).
inline int RoundHalfEvenToInt(double value) {
    const double rounded = RoundHalfEven(value);
    if (std::isnan(rounded))
        return 0;
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

}  // namespace quillon

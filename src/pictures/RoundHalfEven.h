// Rounding to the nearest integer with exact halves going to the even neighbour, the one
// rounding rule the program's arithmetic uses.
#pragma once

#include <cmath>

namespace quillon {

// 22.5 gives 22, 23.5 gives 24, -2.5 gives -2. The result must fit an int.
inline int RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    return static_cast<int>(rounded);
}

}  // namespace quillon

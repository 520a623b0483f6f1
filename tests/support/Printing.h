// How tests print what they compare and which row of a table they run, so that the test
// list and failure messages read as words instead of byte dumps.
#pragma once

#include <ostream>
#include <string>

#include "base/PixelGeometry.h"

namespace quillon {

inline void PrintTo(const PixelRect& r, std::ostream* out) {
    *out << r.width << "x" << r.height << " at (" << r.x << "," << r.y << ")";
}

namespace testing {

// A row of cases that carries a `name` prints as that name. A test file takes it into the
// namespace of its rows: using testing::operator<<;
template <typename Row>
auto operator<<(std::ostream& out, const Row& row) -> decltype(out << row.name) {
    return out << row.name;
}

// Names each instance of a parameterised test after its row.
struct CaseName {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return info.param.name;
    }
};

}  // namespace testing
}  // namespace quillon

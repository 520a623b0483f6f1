#include "app/ImageMagickCheck.h"

namespace quillon {

namespace {

constexpr int kOldestSupportedMajor = 6;

}  // namespace

bool IsSupportedImageMagick(std::string_view version) {
    if (version.empty() || version.front() < '0' || version.front() > '9')
        return false;
    return version.front() - '0' >= kOldestSupportedMajor;
}

}  // namespace quillon

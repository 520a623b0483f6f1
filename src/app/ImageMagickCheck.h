// The rules of the ImageMagick check that need no Windows: which version will do, what the
// user is told otherwise, and how ImageMagick's folder comes first on the search path.
#pragma once

#include <string>
#include <string_view>

#include "execution/ImageMagickTools.h"

namespace quillon {

// Start of the caption written into the output area when ImageMagick will do.
constexpr char kFoundImageMagickCaption[] = "Found ImageMagick v";

// What the user is told when ImageMagick is missing or too old; lines end in a single CR.
constexpr char kImageMagickMissingText[] =
    "ImageMagick (v6 or greater) has not been found on your system.\r"
    "Do you want to go to ImageMagick download page now ?\r"
    "We recommend you install the dynamic at 16 bits-per-pixel installer "
    "(either Win32 or Win64 depending on your architecture).";

// True when the version's first character is a digit from 6 to 9. Only that character
// counts, so "10.0" and " 6.9" are refused like the empty text.
bool IsSupportedImageMagick(std::string_view version);

}  // namespace quillon

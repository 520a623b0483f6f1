// Picture sizes read from the headers of PNG, GIF, BMP and JPEG files, without decoding:
// what quillon-cli uses where the Windows picture decoder is not at hand.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/PixelGeometry.h"

namespace quillon {

// How many leading bytes of a file are enough to find its size: a JPEG may put large
// metadata segments before its frame header, the other formats need a few dozen bytes.
constexpr std::size_t kPictureHeaderWindow = 16 * 1024 * 1024;

// The size recorded in the header of a PNG, GIF, BMP or JPEG file whose leading bytes are
// given; nothing for any other or truncated file and for a size below 1 x 1.
std::optional<PixelSize> PictureHeaderSize(std::string_view bytes);

}  // namespace quillon

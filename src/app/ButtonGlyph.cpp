#include "app/ButtonGlyph.h"

namespace quillon {

namespace {
constexpr std::uint32_t kRgbMask = 0x00FFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;
}  // namespace

std::vector<std::uint32_t> GlyphWithClearBackground(const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint32_t> clear;
    clear.reserve(pixels.size());
    for (std::uint32_t pixel : pixels) {
        const std::uint32_t rgb = pixel & kRgbMask;
        clear.push_back(rgb == kGlyphBackground ? 0u : (rgb | kOpaque));
    }
    return clear;
}

std::vector<std::uint8_t> GlyphMask(const std::vector<std::uint32_t>& clearPixels, int width,
                                    int height) {
    if (width <= 0 || height <= 0 ||
        clearPixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    const std::size_t stride = ((static_cast<std::size_t>(width) + 15) / 16) * 2;
    std::vector<std::uint8_t> mask(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x);
            if ((clearPixels[at] & kOpaque) == 0)
                mask[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) / 8] |=
                    static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
    }
    return mask;
}

}  // namespace quillon

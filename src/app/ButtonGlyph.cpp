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

std::vector<std::uint32_t> GlyphGrown(const std::vector<std::uint32_t>& pixels, int width,
                                      int height, int factor) {
    if (factor <= 1 || width <= 0 || height <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return pixels;
    const int grownWidth = width * factor;
    std::vector<std::uint32_t> grown(static_cast<std::size_t>(grownWidth) *
                                     static_cast<std::size_t>(height * factor));
    for (int y = 0; y < height * factor; ++y) {
        for (int x = 0; x < grownWidth; ++x) {
            grown[static_cast<std::size_t>(y) * grownWidth + x] =
                pixels[static_cast<std::size_t>(y / factor) * width + x / factor];
        }
    }
    return grown;
}

int GlyphFactor(int dpi) {
    // Rounded so that a button drawn at 150 % keeps the glyph it was drawn for, with room round
    // it; the doubled glyph fits a button of 175 % and more.
    const int factor = (dpi + 24) / 96;
    return factor < 1 ? 1 : factor;
}

}  // namespace quillon

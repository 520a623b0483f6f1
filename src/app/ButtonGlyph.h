// The pen and menu glyphs are drawn on a flat background; as icons they let the button
// face show through and grey out properly when the button is disabled.
#pragma once

#include <cstdint>
#include <vector>

namespace quillon {

// The glyph bitmaps' background, RGB(240, 240, 240).
constexpr std::uint32_t kGlyphBackground = 0xF0F0F0;

// 0xAARRGGBB pixels (alpha ignored) to the same pixels with the background colour made fully
// transparent (and black, as an icon's colour image must be where its mask is set) and
// everything else fully opaque.
std::vector<std::uint32_t> GlyphWithClearBackground(const std::vector<std::uint32_t>& pixels);

// One bit per pixel, rows padded to 16 bits as monochrome bitmaps want: set where the glyph
// is transparent.
std::vector<std::uint8_t> GlyphMask(const std::vector<std::uint32_t>& clearPixels, int width,
                                    int height);

// Pixel art grows by whole steps, each pixel a square of factor x factor, so that it stays as
// sharp at 200 % as at 100 %. A factor below 1 counts as 1.
std::vector<std::uint32_t> GlyphGrown(const std::vector<std::uint32_t>& pixels, int width,
                                      int height, int factor);

// The whole step the glyphs grow by at dpi: 1 up to 175 %, 2 from there to 275 %, and so on.
int GlyphFactor(int dpi);

}  // namespace quillon

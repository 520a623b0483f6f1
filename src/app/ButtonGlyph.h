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

}  // namespace quillon

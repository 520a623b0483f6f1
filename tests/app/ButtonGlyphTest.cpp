#include "app/ButtonGlyph.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(ButtonGlyph, BackgroundBecomesClearAndBlackTheGlyphOpaque) {
    const std::vector<std::uint32_t> clear =
        GlyphWithClearBackground({0x00F0F0F0, 0xFFF0F0F0, 0x00123456, 0x00F0F0F1, 0x00000000});
    EXPECT_EQ(clear, (std::vector<std::uint32_t>{0, 0, 0xFF123456, 0xFFF0F0F1, 0xFF000000}));
}

TEST(ButtonGlyph, MaskSetsOneBitPerClearPixelInRowsOfSixteenBits) {
    // 17 pixels wide: each row takes 4 bytes (17 bits rounded up to 32).
    std::vector<std::uint32_t> clear(17 * 2, 0xFF000000);
    clear[0] = 0;       // row 0, x 0
    clear[16] = 0;      // row 0, x 16
    clear[17 + 9] = 0;  // row 1, x 9
    const std::vector<std::uint8_t> mask = GlyphMask(clear, 17, 2);
    ASSERT_EQ(mask.size(), 8u);
    EXPECT_EQ(mask[0], 0x80);
    EXPECT_EQ(mask[2], 0x80);
    EXPECT_EQ(mask[4 + 1], 0x40);
    EXPECT_EQ(mask[1] | mask[3] | mask[4] | mask[6] | mask[7], 0);
}

TEST(ButtonGlyph, TooFewPixelsGiveNoMask) {
    EXPECT_TRUE(GlyphMask(std::vector<std::uint32_t>(10), 17, 17).empty());
    EXPECT_TRUE(GlyphMask({}, 0, 0).empty());
}

TEST(ButtonGlyph, GrowsByWholePixelsAndByTheRightStepForEachScaling) {
    EXPECT_EQ(GlyphGrown({1, 2, 3, 4}, 2, 2, 2),
              (std::vector<std::uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    EXPECT_EQ(GlyphGrown({1, 2}, 2, 1, 1), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(GlyphGrown({1}, 2, 1, 2), (std::vector<std::uint32_t>{1}));  // too few pixels
    for (const auto& [dpi, factor] :
         {std::pair{96, 1}, {120, 1}, {144, 1}, {168, 2}, {192, 2}, {288, 3}})
        EXPECT_EQ(GlyphFactor(dpi), factor) << dpi;
}

}  // namespace
}  // namespace quillon

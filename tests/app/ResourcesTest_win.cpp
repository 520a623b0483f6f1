// The pictures built into Quillon.exe: found under the names the program asks for, with
// the sizes and pixel formats the window relies on.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "base/Handles_win.h"
#include "support/Printing.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::operator<<;

// Quillon.exe mapped for its resources only; nothing in it runs.
UniqueModule LoadQuillonResources() {
    const std::wstring exe = testing::WindowsPath(testing::RequiredEnvironment("QUILLON_EXE"));
    return UniqueModule(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// The bytes of one resource, empty when it is missing. They live as long as the module.
std::string_view ResourceBytes(HMODULE module, HRSRC found) {
    if (found == nullptr)
        return {};
    const DWORD size = ::SizeofResource(module, found);
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr)
        return {};
    return std::string_view(static_cast<const char*>(data), size);
}

std::uint32_t Byte(std::string_view bytes, size_t at) {
    return static_cast<unsigned char>(bytes.at(at));
}
std::uint32_t Le16(std::string_view bytes, size_t at) {
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}
std::uint32_t Le32(std::string_view bytes, size_t at) {
    return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}
std::uint32_t Be32(std::string_view bytes, size_t at) {
    return Byte(bytes, at) << 24 | Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 |
           Byte(bytes, at + 3);
}

class EmbeddedResources : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(module_) << "Quillon.exe could not be mapped"; }
    HMODULE module() const { return module_.get(); }

  private:
    UniqueModule module_ = LoadQuillonResources();
};

// --- The two decoration pictures ------------------------------------------------------

struct PictureCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
};

class DecorationPicture : public EmbeddedResources,
                          public ::testing::WithParamInterface<PictureCase> {};

TEST_P(DecorationPicture, IsAnRgbaPngOfItsSizeUnderTheRawDataTypeTheProgramLooksUp) {
    const PictureCase& picture = GetParam();
    // The program asks by the type string "#10" (RCDATA), so the test does too.
    const std::string_view png =
        ResourceBytes(module(), ::FindResourceA(module(), picture.name, "#10"));
    ASSERT_GT(png.size(), 33u) << picture.name << " is missing or too short";
    EXPECT_EQ(png.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(Be32(png, 16), picture.width);
    EXPECT_EQ(Be32(png, 20), picture.height);
    // Eight bits per sample with an alpha channel: the picture sits on the button face
    // without a box round it.
    EXPECT_EQ(Byte(png, 24), 8u);
    EXPECT_EQ(Byte(png, 25), 6u);
}

INSTANTIATE_TEST_SUITE_P(WizardAndBalls, DecorationPicture,
                         ::testing::Values(PictureCase{"WIZ", 256, 256},
                                           PictureCase{"BAL", 240, 217}),
                         testing::CaseName());

// --- The two button bitmaps -----------------------------------------------------------

class ButtonBitmap : public EmbeddedResources, public ::testing::WithParamInterface<const char*> {};

TEST_P(ButtonBitmap, IsA17PixelSquareTrueColourBitmapOnTheButtonFace) {
    const std::string_view bitmap =
        ResourceBytes(module(), ::FindResourceA(module(), GetParam(), MAKEINTRESOURCEA(2)));
    constexpr std::uint32_t kSide = 17;
    constexpr std::uint32_t kHeaderSize = 40;
    constexpr std::uint32_t kRowBytes = (kSide * 3 + 3) / 4 * 4;
    ASSERT_EQ(bitmap.size(), kHeaderSize + kRowBytes * kSide) << GetParam();
    EXPECT_EQ(Le32(bitmap, 0), kHeaderSize);
    EXPECT_EQ(Le32(bitmap, 4), kSide);
    EXPECT_EQ(Le32(bitmap, 8), kSide);
    EXPECT_EQ(Le16(bitmap, 14), 24u);
    EXPECT_EQ(Le32(bitmap, 16), static_cast<std::uint32_t>(BI_RGB));
    // The four corners are the Windows button face, RGB(240, 240, 240), so the glyph
    // blends into its 24 x 24 button.
    for (std::uint32_t row : {0u, kSide - 1}) {
        for (std::uint32_t column : {0u, kSide - 1}) {
            const size_t at = kHeaderSize + row * kRowBytes + column * 3;
            EXPECT_EQ(Byte(bitmap, at), 240u);
            EXPECT_EQ(Byte(bitmap, at + 1), 240u);
            EXPECT_EQ(Byte(bitmap, at + 2), 240u);
        }
    }
}

TEST_P(ButtonBitmap, LoadsAsABitmapOf17By17Pixels) {
    const UniqueGdiObject bitmap(
        ::LoadImageA(module(), GetParam(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_TRUE(bitmap) << GetParam();
    BITMAP info{};
    EXPECT_EQ(::GetObjectW(bitmap.get(), sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 17);
    EXPECT_EQ(info.bmHeight, 17);
}

INSTANTIATE_TEST_SUITE_P(PenAndMenu, ButtonBitmap, ::testing::Values("PEN", "MNU"),
                         [](const auto& named) { return std::string(named.param); });

// --- The program icon -----------------------------------------------------------------

TEST_F(EmbeddedResources, IconGroupHolds32And16PixelImagesWithAnAlphaChannel) {
    const std::string_view group =
        ResourceBytes(module(), ::FindResourceA(module(), "AICO", MAKEINTRESOURCEA(14)));
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(Le16(group, 0), 0u);
    EXPECT_EQ(Le16(group, 2), 1u);
    const std::uint32_t count = Le16(group, 4);
    ASSERT_EQ(group.size(), 6u + 14u * count);

    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> sizes;
    for (std::uint32_t entry = 0; entry < count; ++entry) {
        const size_t at = 6 + 14 * entry;
        const std::uint32_t width = Byte(group, at);
        const std::uint32_t height = Byte(group, at + 1);
        sizes.insert({width, height, Le16(group, at + 6)});

        // Each image is a 32-bit bitmap (colour and mask stacked, so twice as high) whose
        // rounded corner is transparent and whose middle is opaque.
        const std::uint32_t id = Le16(group, at + 12);
        const std::string_view image = ResourceBytes(
            module(), ::FindResourceA(module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)));
        ASSERT_GE(image.size(), 40u + width * height * 4) << "icon image " << id;
        EXPECT_EQ(Le32(image, 4), width);
        EXPECT_EQ(Le32(image, 8), 2 * height);
        EXPECT_EQ(Le16(image, 14), 32u);
        const auto alphaAt = [&](std::uint32_t x, std::uint32_t yFromTop) {
            return Byte(image, 40 + ((height - 1 - yFromTop) * width + x) * 4 + 3);
        };
        EXPECT_EQ(alphaAt(0, 0), 0u) << width << " x " << height;
        EXPECT_EQ(alphaAt(width / 2, height / 2), 255u) << width << " x " << height;
    }
    using Size = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;
    EXPECT_EQ(sizes, (std::set<Size>{Size{32, 32, 32}, Size{16, 16, 32}}));
}

}  // namespace
}  // namespace quillon

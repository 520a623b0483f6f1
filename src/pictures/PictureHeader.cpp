#include "pictures/PictureHeader.h"

#include <cstdint>
#include <limits>

namespace quillon {

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::size_t kPngWidthAt = 16;  // after the signature, IHDR's length and type
constexpr std::size_t kGifWidthAt = 6;   // after "GIF87a" or "GIF89a"
constexpr std::size_t kBmpInfoAt = 14;   // the file header's size
constexpr std::uint32_t kBmpCoreInfoSize = 12;
constexpr std::uint32_t kBmpSmallestInfoSize = 16;

// JPEG markers that stand alone, without a length after them.
constexpr std::uint8_t kJpegTem = 0x01;
constexpr std::uint8_t kJpegRstFirst = 0xD0;
constexpr std::uint8_t kJpegRstLast = 0xD7;
constexpr std::uint8_t kJpegSoi = 0xD8;
constexpr std::uint8_t kJpegEoi = 0xD9;
constexpr std::uint8_t kJpegSos = 0xDA;

std::uint8_t Byte(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, std::size_t length) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < length; ++i)
        value = (value << 8) | Byte(bytes, at + i);
    return value;
}

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t length) {
    std::uint32_t value = 0;
    for (std::size_t i = length; i > 0; --i)
        value = (value << 8) | Byte(bytes, at + i - 1);
    return value;
}

bool Has(std::string_view bytes, std::size_t at, std::size_t length) {
    return at <= bytes.size() && length <= bytes.size() - at;
}

// A size as the program holds it: both sides at least 1 and within a signed 32-bit count.
std::optional<PixelSize> Size(std::uint32_t width, std::uint32_t height) {
    constexpr auto kLargest = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
    if (width == 0 || height == 0 || width > kLargest || height > kLargest)
        return std::nullopt;
    return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PixelSize> PngSize(std::string_view bytes) {
    // The first chunk of every PNG is IHDR, and it opens with the width and the height.
    if (!Has(bytes, kPngWidthAt, 8) || bytes.substr(12, 4) != "IHDR")
        return std::nullopt;
    return Size(BigEndian(bytes, kPngWidthAt, 4), BigEndian(bytes, kPngWidthAt + 4, 4));
}

std::optional<PixelSize> GifSize(std::string_view bytes) {
    // The logical screen: the size the whole animation, every frame included, is shown at.
    if (!Has(bytes, kGifWidthAt, 4))
        return std::nullopt;
    return Size(LittleEndian(bytes, kGifWidthAt, 2), LittleEndian(bytes, kGifWidthAt + 2, 2));
}

std::optional<PixelSize> BmpSize(std::string_view bytes) {
    if (!Has(bytes, kBmpInfoAt, 4))
        return std::nullopt;
    const std::uint32_t infoSize = LittleEndian(bytes, kBmpInfoAt, 4);
    const std::size_t sizeAt = kBmpInfoAt + 4;
    if (infoSize == kBmpCoreInfoSize) {
        // The oldest header: unsigned 16-bit sides.
        if (!Has(bytes, sizeAt, 4))
            return std::nullopt;
        return Size(LittleEndian(bytes, sizeAt, 2), LittleEndian(bytes, sizeAt + 2, 2));
    }
    if (infoSize < kBmpSmallestInfoSize || !Has(bytes, sizeAt, 8))
        return std::nullopt;
    // Signed 32-bit sides; a negative height marks rows stored top to bottom.
    const auto width = static_cast<std::int32_t>(LittleEndian(bytes, sizeAt, 4));
    const auto height = static_cast<std::int32_t>(LittleEndian(bytes, sizeAt + 4, 4));
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return Size(static_cast<std::uint32_t>(width),
                static_cast<std::uint32_t>(height < 0 ? -height : height));
}

// Start-of-frame markers, which carry the size: C0 to CF less DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PixelSize> JpegSize(std::string_view bytes) {
    std::size_t at = 2;  // past the start-of-image marker
    for (;;) {
        if (!Has(bytes, at, 2) || Byte(bytes, at) != 0xFF)
            return std::nullopt;
        // Any number of fill bytes may stand before a marker.
        while (Has(bytes, at + 1, 1) && Byte(bytes, at + 1) == 0xFF)
            ++at;
        if (!Has(bytes, at + 1, 1))
            return std::nullopt;
        const std::uint8_t marker = Byte(bytes, at + 1);
        at += 2;
        if (marker == kJpegTem || (marker >= kJpegRstFirst && marker <= kJpegRstLast))
            continue;
        // The picture data begins, or the file ends, before any frame said its size.
        if (marker == kJpegSoi || marker == kJpegEoi || marker == kJpegSos || marker == 0x00)
            return std::nullopt;
        if (!Has(bytes, at, 2))
            return std::nullopt;
        const std::uint32_t length = BigEndian(bytes, at, 2);
        if (length < 2)
            return std::nullopt;
        if (IsFrameMarker(marker)) {
            // Length, sample precision, then the height and the width.
            if (length < 7 || !Has(bytes, at + 3, 4))
                return std::nullopt;
            return Size(BigEndian(bytes, at + 5, 2), BigEndian(bytes, at + 3, 2));
        }
        at += length;
    }
}

}  // namespace

std::optional<PixelSize> PictureHeaderSize(std::string_view bytes) {
    if (bytes.substr(0, kPngSignature.size()) == kPngSignature)
        return PngSize(bytes);
    if (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a")
        return GifSize(bytes);
    if (bytes.substr(0, 2) == "BM")
        return BmpSize(bytes);
    if (Has(bytes, 0, 2) && Byte(bytes, 0) == 0xFF && Byte(bytes, 1) == kJpegSoi)
        return JpegSize(bytes);
    return std::nullopt;
}

}  // namespace quillon

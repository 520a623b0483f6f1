// Reduced copies of pictures made by the installed ImageMagick, for pictures the window's own
// decoder cannot read: their true size, and a small first-frame copy it can.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "base/PixelGeometry.h"

namespace quillon {

// The longest side of the reduced copies the window keeps of pictures it cannot decode.
constexpr int kReducedCopySide = 1024;

// What asking ImageMagick for a reduced copy came to.
struct ImageMagickReduction {
    std::optional<PixelSize> size;  // the picture's own size, first frame
    std::string copyPath;           // its reduced copy; empty when none was made
    std::string refusal;            // when ImageMagick has no decoder for the format: words
                                    // saying so; empty for any other failure
};

// A private folder under TEMP for reduced copies, removed with everything in it when the
// owner goes. Copies are named afresh for each call, so calls may come from several threads.
class ReducedCopies {
  public:
    explicit ReducedCopies(int maxSide);
    ~ReducedCopies();
    ReducedCopies(const ReducedCopies&) = delete;
    ReducedCopies& operator=(const ReducedCopies&) = delete;

    // Asks ImageMagick for the picture's size and a copy at most maxSide pixels on its long
    // side. Nothing is made when ImageMagick is not installed, the picture has no extension,
    // the call fails or takes longer than a picture ever should.
    ImageMagickReduction Reduce(const std::string& path);

    const std::string& folder() const { return folder_; }

  private:
    std::string NextName(const char* extension);

    int maxSide_;
    std::string folder_;
    std::atomic<unsigned> counter_{0};
};

// A picture's size as ImageMagick reads it without decoding its pixels; nothing when
// ImageMagick is not installed or cannot read it.
std::optional<PixelSize> ImageMagickPictureSize(const std::string& path);

}  // namespace quillon

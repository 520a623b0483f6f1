// The way the slots reach pictures their own decoder cannot read: whoever starts the window
// hands them a reducer, which reports a picture's true size and makes a small copy of it in
// a type the decoder reads.
#pragma once

#include <optional>
#include <string>

#include "base/PixelGeometry.h"

namespace quillon {

// A picture as a reducer gives it: its own size (first frame) and a reduced copy, which the
// receiver owns and deletes once it no longer needs it.
struct ReducedPicture {
    PixelSize size;
    std::string copyPath;
};

struct Reduction {
    std::optional<ReducedPicture> picture;
    std::string refusal;  // without a picture: why, in words for the status line, when known
};

class PictureReducer {
  public:
    virtual ~PictureReducer() = default;
    virtual Reduction Reduce(const std::string& path) = 0;
};

// The reducer the slots and the output area use; none (the start, and after it is taken
// back with nullptr) means only the decoder's own types are shown.
void SetPictureReducer(PictureReducer* reducer);
PictureReducer* CurrentPictureReducer();

}  // namespace quillon

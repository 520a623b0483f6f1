// A preview of a script's result on reduced copies of its pictures: which copies go into its
// folder under which names, and what the user is told when it makes no picture.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/PixelGeometry.h"

namespace quillon {

// One slot's picture as a preview takes it.
struct PreviewPicture {
    std::string path;  // the user's picture; only its file name reaches the batch
    std::string copy;  // its reduced copy
    PixelSize size;    // the copy's size, which $WIDTH and $HEIGHT give
};

// A file the preview folder gets: a reduced copy under its picture's own file name, so that
// the batch names it as a run of the picture would.
struct PreviewInput {
    std::string copy;
    std::string name;
};

// The files for the slots' pictures in slot order; of pictures that share a file name (in
// any case), the first, as a run in a work folder takes them.
std::vector<PreviewInput> PreviewInputs(const std::vector<PreviewPicture>& pictures);

// What the status line says of a preview that made no picture: the first line of what the
// batch printed, else that the script made no output (or, when written, an empty one).
std::string PreviewFailureText(std::string_view printed, std::string_view outputName, bool written);

}  // namespace quillon

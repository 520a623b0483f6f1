// How ImageMagick is asked for a picture's size and a reduced copy of it: the arguments of
// the call and the reading of what it answers. The process itself is run in
// PictureReduction_win.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/PixelGeometry.h"

namespace quillon {

// What ImageMagick reports of a picture it has read: its format and its size.
struct ReportedPicture {
    std::string format;
    PixelSize size;
};

// The input as ImageMagick is to read it: its first frame, through the coder its extension
// names ("C:\a.webp" gives "WEBP:C:\a.webp[0]"), so that the content of a file can never
// choose a coder of its own (a script in a picture's clothes). Nothing without an extension.
std::optional<std::string> FirstFrameInput(std::string_view path);

// The arguments (after the program's name) that read the first frame, print its format and
// size as one line, and write a copy at most maxSide pixels on its long side (never enlarged)
// as a PNG file. JPEG is decoded at a reduced size to begin with, which is what makes it fast.
std::vector<std::string> ReductionArguments(const std::string& input, const std::string& copyPath,
                                            int maxSide);

// The arguments of identify that print the format and size of the first frame without
// decoding its pixels.
std::vector<std::string> SizeArguments(const std::string& input);

// A Windows command line: the program and every argument in double quotes, which no file name
// and none of our arguments contain.
std::string QuotedCommandLine(const std::string& program,
                              const std::vector<std::string>& arguments);

// The report line "FORMAT WIDTH HEIGHT" ImageMagick printed (the last such line, ahead of
// any line ends); nothing when there is none or a size is not positive.
std::optional<ReportedPicture> ParseReport(std::string_view output);

// What the user is told when ImageMagick's errors say it has no decoder for the picture's
// format ("This ImageMagick cannot read HEIC pictures"); empty for any other error.
std::string UnreadableFormatText(std::string_view errors, std::string_view path);

}  // namespace quillon

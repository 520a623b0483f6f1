// The window-position file: where the main window's top-left corner is kept between runs.
#pragma once

#include <string>
#include <string_view>

#include "base/PixelGeometry.h"

namespace quillon {

// The file's name for a program path: the program's name without folder and last
// extension, followed by ".pos".
std::string PositionFileName(std::string_view programPath);

// Two CR LF lines, x then y, each number with a leading blank (a minus sign in its place
// when negative) and one trailing blank: x = -8, y = 20 gives "-8 \r\n 20 \r\n".
std::string PositionFileText(PixelPoint corner);

// The corner a file's text gives. A line is read as the number it starts with after
// optional blanks, rounded half to even; text after the number is ignored, and a missing
// line or one without a number gives 0. Values beyond the int range are held at its ends.
PixelPoint PositionFromText(std::string_view text);

}  // namespace quillon

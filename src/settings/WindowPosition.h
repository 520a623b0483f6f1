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

// The window's size is kept beside its position, in a file of its own (".size"), so that a
// position file stays as it always was.
std::string SizeFileName(std::string_view programPath);

// The main window's client size in pixels of the 96-DPI layout, and whether it was maximised.
struct KeptSize {
    PixelSize client;
    bool maximised = false;
};

// Three lines as the position file writes its numbers: width, height, and 1 when maximised.
std::string SizeFileText(const KeptSize& size);

// The size a file's text gives, read as the position file's lines are.
KeptSize SizeFromText(std::string_view text);

}  // namespace quillon

// Appearance of the program's own message box, set once at start-up.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

constexpr std::size_t kFontNameCapacity = 259;
constexpr int kSystemDefaultColour = -1;

struct MsgBoxStyle {
    std::string textFontName;  // empty until set: the box then applies its defaults
    int textFontSize = 0;      // points
    int textColour = kSystemDefaultColour;
    int backColour = kSystemDefaultColour;
    std::string buttonFontName;
    int buttonFontSize = 0;
};

MsgBoxStyle& CurrentMsgBoxStyle();

// Text and buttons share the face and size; the face is stored trimmed and cut to capacity.
void SetMsgBoxStyle(std::string_view fontName, int fontSize, int textColour, int backColour);

}  // namespace quillon

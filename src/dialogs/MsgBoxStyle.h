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

// Until a face has been set, the box uses 8-point "Ms Sans Serif" in the system colours.
void ApplyMsgBoxStyleDefaults();

// The captions of the standard buttons; an empty one gets its default when a box opens.
struct ButtonCaptions {
    std::string ok;
    std::string cancel;
    std::string abort;
    std::string retry;
    std::string ignore;
    std::string yes;
    std::string no;
    std::string continueOn;
};

ButtonCaptions& CurrentButtonCaptions();

void FillEmptyButtonCaptions(ButtonCaptions& captions);

}  // namespace quillon

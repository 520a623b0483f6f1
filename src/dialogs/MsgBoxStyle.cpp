#include "dialogs/MsgBoxStyle.h"

#include "catalogue/ScriptFormat.h"

namespace quillon {

MsgBoxStyle& CurrentMsgBoxStyle() {
    static MsgBoxStyle style;
    return style;
}

void SetMsgBoxStyle(std::string_view fontName, int fontSize, int textColour, int backColour) {
    MsgBoxStyle& style = CurrentMsgBoxStyle();
    style.textFontName = TrimBlanks(fontName).substr(0, kFontNameCapacity);
    style.buttonFontName = style.textFontName;
    style.textFontSize = style.buttonFontSize = fontSize;
    style.textColour = textColour;
    style.backColour = backColour;
}

}  // namespace quillon

#include "dialogs/MsgBoxStyle.h"

#include "base/Text.h"

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

void ApplyMsgBoxStyleDefaults() {
    if (CurrentMsgBoxStyle().textFontName.empty())
        SetMsgBoxStyle("Ms Sans Serif", 8, kSystemDefaultColour, kSystemDefaultColour);
}

ButtonCaptions& CurrentButtonCaptions() {
    static ButtonCaptions captions;
    return captions;
}

void FillEmptyButtonCaptions(ButtonCaptions& captions) {
    const auto fill = [](std::string& caption, const char* standard) {
        if (caption.empty())
            caption = standard;
    };
    fill(captions.ok, "&OK");
    fill(captions.cancel, "&Cancel");
    fill(captions.abort, "&Abort");
    fill(captions.retry, "&Retry");
    fill(captions.ignore, "&Ignore");
    fill(captions.yes, "&Yes");
    fill(captions.no, "&No");
    fill(captions.continueOn, "C&ontinue");
}

}  // namespace quillon

// What a message box shows for a given style: its buttons, its icon and beep, its title
// and its text, decided without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialogs/MsgBoxStyle.h"

namespace quillon {

// The standard message-box flag values the box understands.
constexpr int kMbOkCancel = 0x1;
constexpr int kMbAbortRetryIgnore = 0x2;
constexpr int kMbYesNoCancel = 0x3;
constexpr int kMbYesNo = 0x4;
constexpr int kMbRetryCancel = 0x5;
constexpr int kMbCancelTryContinue = 0x6;
constexpr int kMbIconError = 0x10;
constexpr int kMbIconQuestion = 0x20;
constexpr int kMbIconWarning = 0x30;
constexpr int kMbIconInformation = 0x40;

// The ";"-separated caption list for a style. A style without a button set takes the
// caller's list, and an empty list gives the OK button alone.
std::string ChooseButtonList(int style, const ButtonCaptions& captions,
                             std::string_view callerList);

// The captions of a list, split at every ";" (an empty piece is a button without caption).
std::vector<std::string> SplitButtonList(std::string_view list);

// The system icon (its resource number, 0 for none) and the beep that go with a style.
// Systems whose own resources lack the numbered icons still offer the same pictures under
// their standard icon identifiers, which the box falls back to.
struct MsgBoxIcon {
    int resourceNumber = 0;
    int standardIconId = 0;
    unsigned beepType = 0;
};
constexpr int kIconWarningResource = 101;
constexpr int kIconQuestionResource = 102;
constexpr int kIconErrorResource = 103;
constexpr int kIconInformationResource = 104;
constexpr int kStandardIconError = 32513;  // OIC_HAND
constexpr int kStandardIconQuestion = 32514;
constexpr int kStandardIconWarning = 32515;
constexpr int kStandardIconInformation = 32516;
MsgBoxIcon ChooseMsgBoxIcon(int style);

// Callers end lines with a single CR; the text box needs CR LF, so every CR gains an LF.
std::string ExpandLineBreaks(std::string_view text);

// The title bar text: the caption, or "MyMsgBox" when it is empty.
std::string MsgBoxTitle(std::string_view caption);

}  // namespace quillon

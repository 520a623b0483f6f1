// The program's own message box, and the centring of a dialog over its owner.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

constexpr int kMsgBoxIconId = 12299;
constexpr int kMsgBoxTextId = 12300;
constexpr int kMsgBoxFirstButtonId = 12302;  // button i (from 1) has id 12301 + i
constexpr int kMsgBoxLastAnsweringButtonId = 12320;

// Shows a modal box over owner and returns the position (1, 2, ...) of the button the user
// pressed. style takes the standard message-box flags for the button set and the icon;
// buttons is a ";"-separated caption list used when the style names no button set. The
// user answers with a button: Escape and the window system's close leave the box open, so
// the result is 0 only when the box could not be shown at all. The text is shown whole: the
// box grows to the lines it wraps the text into, and scrolls where the screen is too short.
int MyMsgBox(HWND owner, std::string_view text, std::string_view caption, int style,
             std::string_view buttons);

// A check box a box offers under its text: its caption, and whether it is ticked (going in:
// as shown first; coming out: as the user left it when answering).
struct MsgBoxCheck {
    std::string caption;
    bool checked = false;
};
constexpr int kMsgBoxFirstCheckId = 12330;  // check box i (from 1) has id 12329 + i

// The same box with check boxes between its text and its buttons.
int MyMsgBox(HWND owner, std::string_view text, std::string_view caption, int style,
             std::string_view buttons, std::vector<MsgBoxCheck>& checks);

// Centres a dialog over its owner's client area, or over the work area of the owner's
// monitor when the owner is minimised (of the primary monitor when it has none), and keeps
// it on that work area.
void CenterOnOwner(HWND dialog);

// Gives a dialog the program's icon "AICO", large and small.
void SetProgramIcon(HWND dialog);

}  // namespace quillon

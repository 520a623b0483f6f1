// Reading and changing the controls of a dialog-based window by id, with the program's
// single-byte text converted at the call.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

void SetItemText(HWND window, int id, const std::string& text);
std::string ItemText(HWND window, int id);
void EnableItem(HWND window, int id, bool enabled);

// SetWindowPos flags for a control moved in a layout: it draws nothing where it was or goes,
// and the layout paints the window and all its controls once every control has moved.
constexpr UINT kQuietMove = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS;

// Shows the focus mark from the moment the window opens, not only once a key has been
// pressed in it: every control of ours can be worked from the keyboard.
void ShowFocusMarks(HWND window);

}  // namespace quillon

// What a screen reader is told about a picture area: its spoken text split into a name ("Picture
// 1 of 2") and a value ("beach.jpg, 600 by 800"), its place and its role. The system's own
// object for a static control reads only the window text, and some systems have none for it.
#pragma once

#include <windows.h>

namespace quillon {

// The answer to WM_GETOBJECT for an area: an accessibility object for OBJID_CLIENT, and 0 (the
// system's answer) for anything else.
LRESULT AnswerAccessibilityQuery(HWND area, WPARAM flags, LPARAM objectId);

}  // namespace quillon

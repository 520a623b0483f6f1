// The popup menu's new-script command.
#pragma once

#include <windows.h>

namespace quillon {

// Lets the user name a new script, writes it from the template, lists and selects it, waits
// for the editor and then keeps it when it validates. Refused with a beep while a run or
// another editor wait is under way.
void CreateNewScript(HWND window);

}  // namespace quillon

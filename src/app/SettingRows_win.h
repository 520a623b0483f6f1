// The chosen script's settings as rows of controls under the slots, and the values they hold.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "catalogue/ScriptFormat.h"
#include "catalogue/ScriptSettings.h"

namespace quillon {

// Replaces the rows with one per setting of the script, showing the values the user last gave
// it (its defaults where none passes any more); the window grows by the rows' height, or
// gives back the height of rows it no longer shows. No settings: no rows, and the window as it
// is without them.
void ShowScriptSettings(HWND window, const ScriptEntry& script);
// No rows, for no script; the values shown are kept first.
void HideSettingRows(HWND window);
// The window goes: its values are kept for the next start.
void ForgetSettingRows(HWND window);

// The rows' height at the window's scaling; 0 without rows.
int SettingRowsScaledHeight(HWND window);

// Places the rows and the Reset button for the window's size and scaling.
void PlaceSettingRows(HWND window);

// Gives the rows' controls the window's font.
void SetSettingRowsFont(HWND window, HFONT font);

// The values the rows hold now, by setting name, as typed.
std::vector<std::pair<std::string, std::string>> SettingRowValues(HWND window);

// The rows' messages; false for a message that is not theirs.
bool OnSettingRowCommand(HWND window, int id, int code);
bool OnSettingRowScroll(HWND window, HWND control);
bool OnSettingRowDraw(const DRAWITEMSTRUCT* item);

}  // namespace quillon

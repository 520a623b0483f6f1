// The main window's commands on the selected script and its result: edit, execute, show the
// output in the file manager, the validation log, and taking a broken script off the list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillon {

// Opens the selected script in the editor, waits for it and validates that script again,
// whatever is selected by then.
void OnEditScript(HWND window);

// Runs the selected script on the slots' pictures and shows what it produced.
void OnExecute(HWND window);

// Opens the file manager with the produced file selected, when there is one.
void OnShowOutputFile(HWND window);

// Writes the validation log beside the program and opens it in the editor (no waiting).
void ShowValidationLog();

// Adds the texts to the script list as its items, in order, in one go.
void FillScriptList(HWND list, const std::vector<std::string>& items);

// Puts text in place of list item `position` and selects that item.
void ReplaceListItem(HWND window, int position, const std::string& text);

// Takes a script off the list and the catalogue. Removing the chosen script returns the
// window to its no-script state; otherwise the user's choice stays.
void RemoveScript(HWND window, int position);

// The window's no-script state: the wizard and balls pictures, the two hints, and the pen
// and execute buttons disabled.
void ShowNoScript(HWND window);

// Draws the output area again, and while no script is chosen the first slot's picture too,
// after the window changed size: from the previews already made, with no file read again.
void DrawPicturesAgain(HWND window);

}  // namespace quillon

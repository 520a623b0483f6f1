// Where the program's save dialogs open: 30 pixels left of and 50 pixels above the top-left
// corner of the window that asks, so the question appears over the window it is about.
#pragma once

#include <windows.h>

#include <commdlg.h>

namespace quillon {

// Sets request's hook so that the dialog opens beside owner (request's owner data is used).
void PlaceBesideOwner(OPENFILENAMEW& request, HWND owner);

}  // namespace quillon

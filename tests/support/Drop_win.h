// A file drop made the way the shell makes one, for driving the main window in-process.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace quillon::testing {

// A drop of these files at a point of the receiving window's client area (or, when
// nonClient, at a screen point over its frame): DROPFILES with wide names in movable
// global memory. Whoever handles WM_DROPFILES frees it with DragFinish.
HDROP MakeDrop(const std::vector<std::wstring>& files, POINT point, bool nonClient = false);

// Sends a drop of these files to `window` with the pointer at the centre of its child
// control `controlId`.
void DropOnControl(HWND window, int controlId, const std::vector<std::wstring>& files);

}  // namespace quillon::testing

// The live preview of a script with settings: its result on reduced copies of the slots'
// pictures, made on a worker thread a moment after the last change and drawn in the output
// area, with the first picture as it was shown while the mouse is held down there.
#pragma once

#include <windows.h>

namespace quillon {

// Whether the user left the menu's "Live preview" checked (it is, unless turned off).
bool LivePreviewKeptOn();

// The window's preview worker, made once the window can read pictures, and its end: a
// running preview is ended with its processes and every file of the previews goes.
void StartLivePreview(HWND window);
void StopLivePreview(HWND window);

// A setting or a picture changed: a new preview follows once changes have paused.
void PreviewSoon(HWND window);

// Execute's result takes the output area: a running preview is ended and none follows
// until the next change.
void SetLivePreviewAside(HWND window);

// The menu item "Live preview" chosen: it turns the preview on or off, for later starts too.
void OnLivePreviewCommand(HWND window);

// The window's messages for the preview; false for one that is not its own.
bool OnLivePreviewTimer(HWND window, WPARAM timer);
void OnLivePreviewDone(HWND window, WPARAM generation);
// The mouse held down on the output area (or let go) while it shows a preview.
bool OnOutputAreaHold(HWND window, int code);

}  // namespace quillon

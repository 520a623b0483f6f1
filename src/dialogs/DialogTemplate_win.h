// An empty dialog template built in memory; the program's dialogs add their controls in
// pixels when they initialise, so the template carries only the frame, title and font.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace quillon {

class DialogTemplate {
  public:
    DialogTemplate(DWORD style, DWORD extendedStyle, std::wstring_view title,
                   std::wstring_view fontFace, WORD fontPoints);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Add(WORD word) { words_.push_back(word); }
    void Add(std::wstring_view text);
    std::vector<WORD> words_;
};

// Resizes a window so that its client area has the given pixel size.
void SetClientSize(HWND window, int width, int height);

// A window laid out in pixels of 96 dots per inch, made larger at a higher scaling: its client
// size and every child's edges are scaled to the window's dots per inch. Its text is already
// drawn at that scaling by the dialog font.
void ScaleLaidOutWindow(HWND window);

}  // namespace quillon

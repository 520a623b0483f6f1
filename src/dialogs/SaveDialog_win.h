// The program's save dialogs: the system's dialog, opening 30 pixels left of and 50 pixels
// above the top-left corner of the window that asks, so the question appears over the
// window it is about.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillon {

struct SaveQuestion {
    const wchar_t* title = L"";
    const wchar_t* suggestedName = L"";  // pre-filled in the file name box
    const wchar_t* filter = nullptr;     // none: no file-type list
    const wchar_t* defaultExtension = nullptr;
    std::wstring startFolder;
};

// The full path the user confirmed, or nothing when the dialog was cancelled.
std::optional<std::wstring> AskSavePath(HWND owner, const SaveQuestion& question);

}  // namespace quillon

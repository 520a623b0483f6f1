#include "pictures/PictureChooser_win.h"

#include <windows.h>

#include <commdlg.h>

#include "base/AnsiText_win.h"
#include "pictures/PictureFilter.h"

namespace quillon {

namespace {
// Long enough for any path the shell can hand over, not just MAX_PATH.
constexpr DWORD kPathCapacity = 32768;
// A starting-folder text that names no folder: the dialog then picks its own start.
constexpr wchar_t kStartingFolder[] = L"Choose a picture";
constexpr wchar_t kTitle[] = L"Quillon";
}  // namespace

std::string ChoosePicture(HWND owner) {
    const std::wstring filter = WidenAnsi(PictureFilterText());
    std::wstring file(kPathCapacity, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file.data();
    request.nMaxFile = kPathCapacity;
    request.lpstrInitialDir = kStartingFolder;
    request.lpstrTitle = kTitle;
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&request))
        return {};
    file.resize(std::wcslen(file.c_str()));
    return NarrowToAnsiMarked(file);
}

}  // namespace quillon

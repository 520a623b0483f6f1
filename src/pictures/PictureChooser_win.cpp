#include "pictures/PictureChooser_win.h"

#include <cwchar>

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
// Room for many names: the dialog writes the folder once and then every name.
constexpr DWORD kChoiceCapacity = 1 << 20;

// The open dialog both choosers show, writing into buffer; false when the user cancels.
bool AskForPictures(HWND owner, std::wstring& buffer, DWORD extraFlags) {
    const std::wstring filter = WidenAnsi(PictureFilterText());
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = buffer.data();
    request.nMaxFile = static_cast<DWORD>(buffer.size());
    request.lpstrInitialDir = kStartingFolder;
    request.lpstrTitle = kTitle;
    request.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | extraFlags;
    return ::GetOpenFileNameW(&request) != FALSE;
}

}  // namespace

std::string ChoosePicture(HWND owner) {
    std::wstring file(kPathCapacity, L'\0');
    if (!AskForPictures(owner, file, 0))
        return {};
    file.resize(std::wcslen(file.c_str()));
    return NarrowToAnsiMarked(file);
}

std::vector<std::string> ChoosePictures(HWND owner) {
    std::wstring buffer(kChoiceCapacity, L'\0');
    std::vector<std::string> paths;
    if (!AskForPictures(owner, buffer, OFN_ALLOWMULTISELECT))
        return paths;
    // One file: its full path. Several: the folder, then each name, each ended by a NUL.
    const wchar_t* part = buffer.c_str();
    const std::wstring first = part;
    part += first.size() + 1;
    if (*part == L'\0') {
        paths.push_back(NarrowToAnsiMarked(first));
        return paths;
    }
    const std::wstring folder = first.back() == L'\\' ? first : first + L'\\';
    for (; *part != L'\0'; part += std::wcslen(part) + 1)
        paths.push_back(NarrowToAnsiMarked(folder + part));
    return paths;
}

}  // namespace quillon

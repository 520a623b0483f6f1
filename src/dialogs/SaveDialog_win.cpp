#include "dialogs/SaveDialog_win.h"

#include <cwchar>

#include <commdlg.h>

namespace quillon {

namespace {

constexpr int kLeftOfOwner = 30;
constexpr int kAboveOwner = 50;
// Long enough for any path the shell can hand over, not just MAX_PATH.
constexpr DWORD kPathCapacity = 32768;

UINT_PTR CALLBACK PlaceOnceReady(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return 0;
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice->hdr.code != CDN_INITDONE)
        return 0;
    HWND owner = reinterpret_cast<HWND>(notice->lpOFN->lCustData);
    RECT corner{};
    if (owner != nullptr && ::GetWindowRect(owner, &corner)) {
        // The hook's dialog is a child of the explorer-style dialog it customises.
        ::SetWindowPos(::GetParent(dialog), nullptr, corner.left - kLeftOfOwner,
                       corner.top - kAboveOwner, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

}  // namespace

std::optional<std::wstring> AskSavePath(HWND owner, const SaveQuestion& question) {
    std::wstring file(kPathCapacity, L'\0');
    file.replace(0, std::wcslen(question.suggestedName), question.suggestedName);
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = question.filter;
    request.nFilterIndex = question.filter != nullptr ? 1 : 0;
    request.lpstrFile = file.data();
    request.nMaxFile = kPathCapacity;
    request.lpstrInitialDir = question.startFolder.c_str();
    request.lpstrTitle = question.title;
    request.lpstrDefExt = question.defaultExtension;
    request.Flags =
        OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
    request.lpfnHook = PlaceOnceReady;
    request.lCustData = reinterpret_cast<LPARAM>(owner);
    if (!::GetSaveFileNameW(&request))
        return std::nullopt;
    file.resize(std::wcslen(file.c_str()));
    return file;
}

}  // namespace quillon

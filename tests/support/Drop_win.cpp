#include "support/Drop_win.h"

#include <cstring>

#include <shlobj.h>

namespace quillon::testing {

HDROP MakeDrop(const std::vector<std::wstring>& files, POINT point, bool nonClient) {
    std::wstring names;
    for (const std::wstring& file : files) {
        names += file;
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = memory == nullptr ? nullptr : static_cast<DROPFILES*>(::GlobalLock(memory));
    if (header == nullptr)
        return nullptr;
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fNC = nonClient ? TRUE : FALSE;
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(),
                names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void DropOnControl(HWND window, int controlId, const std::vector<std::wstring>& files) {
    POINT point{2, 2};
    if (HWND control = ::GetDlgItem(window, controlId)) {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    ::SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files, point)), 0);
}

}  // namespace quillon::testing

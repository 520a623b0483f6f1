#include "base/DialogItems_win.h"

#include "base/AnsiText_win.h"

namespace quillon {

void SetItemText(HWND window, int id, const std::string& text) {
    ::SetWindowTextW(::GetDlgItem(window, id), WidenAnsi(text).c_str());
}

std::string ItemText(HWND window, int id) {
    HWND control = ::GetDlgItem(window, id);
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return NarrowToAnsiMarked(text);
}

void EnableItem(HWND window, int id, bool enabled) {
    ::EnableWindow(::GetDlgItem(window, id), enabled ? TRUE : FALSE);
}

void ShowFocusMarks(HWND window) {
    ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

}  // namespace quillon

#include "dialogs/DialogTemplate_win.h"

#include "base/WorkArea_win.h"

namespace quillon {

DialogTemplate::DialogTemplate(DWORD style, DWORD extendedStyle, std::wstring_view title,
                               std::wstring_view fontFace, WORD fontPoints) {
    style |= DS_SETFONT;
    Add(LOWORD(style));
    Add(HIWORD(style));
    Add(LOWORD(extendedStyle));
    Add(HIWORD(extendedStyle));
    Add(0);  // no controls: they are created in pixels at initialisation
    for (int i = 0; i < 4; ++i)
        Add(0);  // x, y, cx, cy: sized at initialisation
    Add(0);      // no menu
    Add(0);      // the standard dialog class
    Add(title);
    Add(fontPoints);
    Add(fontFace);
}

void DialogTemplate::Add(std::wstring_view text) {
    for (wchar_t c : text)
        words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
}

void SetClientSize(HWND window, int width, int height) {
    RECT frame{0, 0, width, height};
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD extended = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    ::AdjustWindowRectEx(&frame, style, FALSE, extended);
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

int Scaled(int length, int dpi) {
    return ::MulDiv(length, dpi, 96);
}

struct Scaling {
    HWND window;
    int dpi;
};

// Only the window's own children: a control's inner windows move with it.
BOOL CALLBACK ScaleChild(HWND child, LPARAM scalingAddress) {
    const auto& scaling = *reinterpret_cast<const Scaling*>(scalingAddress);
    RECT rect{};
    if (::GetParent(child) != scaling.window || !::GetWindowRect(child, &rect))
        return TRUE;
    ::MapWindowPoints(nullptr, scaling.window, reinterpret_cast<POINT*>(&rect), 2);
    const int at = scaling.dpi;
    const int left = Scaled(rect.left, at);
    const int top = Scaled(rect.top, at);
    ::MoveWindow(child, left, top, Scaled(rect.right, at) - left, Scaled(rect.bottom, at) - top,
                 FALSE);
    return TRUE;
}

}  // namespace

void ScaleLaidOutWindow(HWND window) {
    const int dpi = DpiOfWindow(window);
    if (dpi == 96)
        return;
    RECT client{};
    ::GetClientRect(window, &client);
    SetClientSize(window, Scaled(client.right, dpi), Scaled(client.bottom, dpi));
    Scaling scaling{window, dpi};
    ::EnumChildWindows(window, ScaleChild, reinterpret_cast<LPARAM>(&scaling));
}

}  // namespace quillon

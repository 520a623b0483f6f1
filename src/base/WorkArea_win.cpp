#include "base/WorkArea_win.h"

#include "base/Handles_win.h"

namespace quillon {

namespace {

PixelRect FromRect(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

PixelRect WorkAreaNear(HWND window) {
    // The primary monitor is the one that holds the screen origin.
    HMONITOR monitor = window != nullptr
                           ? ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                           : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info))
        return FromRect(info.rcWork);
    RECT primary{};
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0))
        return FromRect(primary);
    return {};
}

void CentreOnWorkArea(HWND window) {
    const PixelRect work = WorkAreaNear(window);
    RECT outer{};
    if (work.width <= 0 || work.height <= 0 || !::GetWindowRect(window, &outer))
        return;
    const PixelPoint at = CentredOrigin(work, {outer.right - outer.left, outer.bottom - outer.top});
    ::SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int DpiOfWindow(HWND window) {
    // Looked up at run time: older Windows has no per-monitor scaling and no such function.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = [] {
        HMODULE user = ::GetModuleHandleW(L"user32.dll");
        FARPROC found = user == nullptr ? nullptr : ::GetProcAddress(user, "GetDpiForWindow");
        return reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(found));
    }();
    if (dpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = dpiForWindow(window))
            return static_cast<int>(dpi);
    }
    WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace quillon

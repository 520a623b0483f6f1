#include "base/WorkArea_win.h"

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

}  // namespace quillon

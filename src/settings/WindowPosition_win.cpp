#include "settings/WindowPosition_win.h"

#include <shlobj.h>

#include <climits>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/ProgramFolder_win.h"
#include "base/Text.h"
#include "settings/WindowPosition.h"

namespace quillon {
namespace {

// A position file holds two short lines; anything past this is no position.
constexpr std::size_t kLongestPositionFile = 256;

// a + b held within the int range, for corners read from a file that may hold anything.
LONG SumWithinRange(LONG a, LONG b) {
    const long long sum = static_cast<long long>(a) + b;
    if (sum > INT_MAX)
        return INT_MAX;
    return sum < INT_MIN ? INT_MIN : static_cast<LONG>(sum);
}

// The strip of the title bar of a window whose outer frame would be `frame`: from the frame's
// top down to where its client area begins.
RECT TitleBarStrip(HWND window, const RECT& frame) {
    RECT outer{};
    POINT client{0, 0};
    ::GetWindowRect(window, &outer);
    ::ClientToScreen(window, &client);
    const int depth = client.y > outer.top ? client.y - outer.top : 1;
    return {frame.left, frame.top, frame.right, SumWithinRange(frame.top, depth)};
}

}  // namespace

std::string LocalAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(
            ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return "";
    // A character the code page lacks becomes '?', which names no folder: the position is
    // then neither read nor written, instead of landing in another folder.
    const std::string text = TrimBlanks(NarrowToAnsiMarked(folder));
    if (!text.empty())
        ::CreateDirectoryW(WidenAnsi(text).c_str(), nullptr);  // normally it exists already
    return text;
}

std::string PositionFilePath() {
    return LocalAppDataFolder() + "\\" + PositionFileName(ProgramPath());
}

void SaveWindowPosition(HWND window) {
    RECT frame{};
    if (::IsIconic(window) || !::GetWindowRect(window, &frame))
        return;
    // A maximised window is kept where it comes back to when restored.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (::IsZoomed(window) && ::GetWindowPlacement(window, &placement))
        frame = placement.rcNormalPosition;
    WriteWholeFile(PositionFilePath(), PositionFileText({frame.left, frame.top}));
}

void RestoreWindowPosition(HWND window) {
    const std::string path = PositionFilePath();
    RECT frame{};
    if (!FileExists(path) || !::GetWindowRect(window, &frame))
        return;
    const PixelPoint corner = PositionFromText(ReadFileBytes(path, kLongestPositionFile));
    const RECT moved{corner.x, corner.y, SumWithinRange(corner.x, frame.right - frame.left),
                     SumWithinRange(corner.y, frame.bottom - frame.top)};
    // A monitor removed or a smaller screen since the last run would leave the window where
    // no one can grab it: then it keeps its centred place.
    const RECT titleBar = TitleBarStrip(window, moved);
    if (::MonitorFromRect(&titleBar, MONITOR_DEFAULTTONULL) == nullptr)
        return;
    ::SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string SizeFilePath() {
    return LocalAppDataFolder() + "\\" + SizeFileName(ProgramPath());
}

void SaveWindowSize(const KeptSize& size) {
    WriteWholeFile(SizeFilePath(), SizeFileText(size));
}

std::optional<KeptSize> ReadWindowSize() {
    const std::string path = SizeFilePath();
    if (!FileExists(path))
        return std::nullopt;
    return SizeFromText(ReadFileBytes(path, kLongestPositionFile));
}

}  // namespace quillon

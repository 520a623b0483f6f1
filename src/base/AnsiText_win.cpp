#include "base/AnsiText_win.h"

#include <windows.h>

namespace quillon {

std::wstring WidenAnsi(std::string_view ansi) {
    if (ansi.empty())
        return {};
    const int size = static_cast<int>(ansi.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), needed);
    return wide;
}

namespace {
std::string Narrow(std::wstring_view wide, BOOL* usedDefault) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int needed =
        ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, "?", usedDefault);
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, ansi.data(), needed, "?", usedDefault);
    return ansi;
}
}  // namespace

std::optional<std::string> NarrowToAnsi(std::wstring_view wide) {
    BOOL usedDefault = FALSE;
    std::string ansi = Narrow(wide, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return ansi;
}

std::string NarrowToAnsiMarked(std::wstring_view wide) {
    BOOL usedDefault = FALSE;
    return Narrow(wide, &usedDefault);
}

}  // namespace quillon

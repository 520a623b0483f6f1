#include "execution/ConsoleText_win.h"

#include <windows.h>

#include "base/AnsiText_win.h"

namespace quillon {

std::optional<std::string> RecodeExactly(std::string_view text, unsigned fromCodePage,
                                         unsigned toCodePage) {
    if (text.empty() || fromCodePage == toCodePage)
        return std::string(text);
    const int size = static_cast<int>(text.size());
    const int wideLength =
        ::MultiByteToWideChar(fromCodePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(fromCodePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                          wideLength);
    // UTF-8 holds every character, but refuses the flags that report a substitute.
    const bool utf8 = toCodePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* substituted = utf8 ? nullptr : &usedDefault;
    const int length = ::WideCharToMultiByte(toCodePage, flags, wide.data(), wideLength, nullptr, 0,
                                             nullptr, substituted);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(toCodePage, flags, wide.data(), wideLength, out.data(), length, nullptr,
                          substituted);
    if (usedDefault)
        return std::nullopt;
    return out;
}

std::optional<std::string> ToConsoleText(std::string_view ansi) {
    // The interpreter has no code page of its own: it reads the system's OEM code page, even
    // when this program declares UTF-8 and GetOEMCP answers 65001 here.
    return RecodeExactly(ansi, ::GetACP(), SystemOemCodePage());
}

std::optional<std::string> ConsoleFolder(const std::string& ansiFolder) {
    if (std::optional<std::string> direct = ToConsoleText(ansiFolder))
        return direct;
    const std::wstring wide = WidenAnsi(ansiFolder);
    const DWORD needed = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return std::nullopt;
    std::wstring shortForm(needed, L'\0');
    const DWORD length = ::GetShortPathNameW(wide.c_str(), shortForm.data(), needed);
    if (length == 0 || length >= needed)
        return std::nullopt;
    shortForm.resize(length);
    const std::optional<std::string> narrowed = NarrowToAnsi(shortForm);
    return narrowed ? ToConsoleText(*narrowed) : std::nullopt;
}

}  // namespace quillon

#include "base/AnsiText_win.h"

#include <climits>
#include <cwchar>

#include <windows.h>

#include "base/Text.h"

namespace quillon {

namespace {

constexpr char kMark[] = "?";

bool FitsAnInt(std::size_t size) {
    return size <= static_cast<std::size_t>(INT_MAX);
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Runs WideCharToMultiByte twice (size, then text); nothing when it fails.
std::optional<std::string> Convert(std::wstring_view wide, unsigned codePage, DWORD flags,
                                   BOOL* usedDefault) {
    if (wide.empty())
        return std::string();
    if (!FitsAnInt(wide.size()))
        return std::nullopt;
    const int size = static_cast<int>(wide.size());
    const char* mark = usedDefault != nullptr ? kMark : nullptr;
    const int needed =
        ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, mark, usedDefault);
    if (needed <= 0)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(needed), '\0');
    if (::WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), needed, mark,
                              usedDefault) != needed)
        return std::nullopt;
    return text;
}

// UTF-8 takes neither the no-best-fit flag nor a default character: with them the call
// fails, and every path would come out empty. It has an exact form for every character, and
// the strict flag makes it refuse a lone surrogate instead of writing U+FFFD for it.
std::optional<std::string> NarrowToUtf8(std::wstring_view wide) {
    return Convert(wide, CP_UTF8, WC_ERR_INVALID_CHARS, nullptr);
}

// A single-byte or double-byte code page: no best fit ("ā" must not become "a" and so name
// another file); what has no exact form becomes the mark, and usedDefault tells.
std::optional<std::string> NarrowToLegacy(std::wstring_view wide, unsigned codePage,
                                          BOOL* usedDefault) {
    return Convert(wide, codePage, WC_NO_BEST_FIT_CHARS, usedDefault);
}

// Every lone surrogate replaced by the mark, so that a strict UTF-8 conversion goes through.
std::wstring MarkLoneSurrogates(std::wstring_view wide) {
    std::wstring marked(wide);
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (IsHighSurrogate(marked[i]) && i + 1 < marked.size() && IsLowSurrogate(marked[i + 1]))
            ++i;  // a pair: one character
        else if (IsHighSurrogate(marked[i]) || IsLowSurrogate(marked[i]))
            marked[i] = kMark[0];
    }
    return marked;
}

// The registry names the code pages in force (Windows' own "UTF-8 for worldwide language
// support" sets 65001 there); the system locale's defaults stand in when it cannot be read.
unsigned AskSystemCodePage(const wchar_t* registryName, LCTYPE localeValue, unsigned fallback) {
    wchar_t text[16] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage",
                       registryName, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS) {
        const unsigned long codePage = std::wcstoul(text, nullptr, 10);
        if (codePage != 0 && ::IsValidCodePage(codePage))
            return codePage;
    }
    DWORD number = 0;
    if (::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, localeValue | LOCALE_RETURN_NUMBER,
                         reinterpret_cast<LPWSTR>(&number), sizeof(number) / sizeof(wchar_t)) > 0 &&
        number != 0 && ::IsValidCodePage(number))
        return number;
    return fallback;
}

}  // namespace

unsigned SystemAnsiCodePage() {
    static const unsigned codePage =
        AskSystemCodePage(L"ACP", LOCALE_IDEFAULTANSICODEPAGE, ::GetACP());
    return codePage;
}

unsigned SystemOemCodePage() {
    static const unsigned codePage =
        AskSystemCodePage(L"OEMCP", LOCALE_IDEFAULTCODEPAGE, ::GetOEMCP());
    return codePage;
}

std::wstring WidenUserText(std::string_view bytes) {
    return WidenFromCodePage(bytes, IsUtf8(bytes) ? CP_UTF8 : SystemAnsiCodePage());
}

std::wstring WidenFromCodePage(std::string_view text, unsigned codePage) {
    if (text.empty() || !FitsAnInt(text.size()))
        return {};
    const int size = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), needed) != needed)
        return {};
    return wide;
}

std::optional<std::string> NarrowToCodePage(std::wstring_view wide, unsigned codePage) {
    if (codePage == CP_UTF8)
        return NarrowToUtf8(wide);
    BOOL usedDefault = FALSE;
    std::optional<std::string> text = NarrowToLegacy(wide, codePage, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return text;
}

std::string NarrowToCodePageMarked(std::wstring_view wide, unsigned codePage) {
    if (codePage == CP_UTF8)
        return NarrowToUtf8(MarkLoneSurrogates(wide)).value_or(std::string());
    BOOL usedDefault = FALSE;
    return NarrowToLegacy(wide, codePage, &usedDefault).value_or(std::string());
}

std::wstring WidenAnsi(std::string_view ansi) {
    return WidenFromCodePage(ansi, ::GetACP());
}

std::optional<std::string> NarrowToAnsi(std::wstring_view wide) {
    return NarrowToCodePage(wide, ::GetACP());
}

std::string NarrowToAnsiMarked(std::wstring_view wide) {
    return NarrowToCodePageMarked(wide, ::GetACP());
}

}  // namespace quillon

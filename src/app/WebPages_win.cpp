#include "app/WebPages_win.h"

#include <shellapi.h>

#include <string>

#include "app/WebPages.h"
#include "base/AnsiText_win.h"
#include "base/ProgramFolder_win.h"

namespace quillon {

void OpenWebPage(HWND owner, std::string_view page) {
    const std::wstring location = WidenAnsi(PageLocation(page, ProgramFolder()));
    ::ShellExecuteW(owner, L"open", location.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quillon

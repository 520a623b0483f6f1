// The main window: a modal dialog built at run time, laid out in pixels.
#include <windows.h>

#include <string>

#include "app/AnsiText_win.h"
#include "app/AppState_win.h"
#include "app/MenuIds.h"
#include "app/StartUp_win.h"
#include "dialogs/DialogTemplate_win.h"

namespace quillon {
namespace {

constexpr int kClientWidth = 516;
constexpr int kClientHeight = 280;
constexpr int kListItemHeight = 24;
constexpr wchar_t kTitle[] = L"Quillon v0.1 - Veltrane 2014";
constexpr char kValidationLogName[] = "Xml_Log.txt";

void AddScriptList(HWND window) {
    const std::vector<std::string> items = CatalogueListItems(App().catalogue);
    HWND list = ::CreateWindowExW(
        0, L"COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
        8, 8, 240, kListItemHeight * static_cast<int>(items.size()), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScriptListId)), nullptr, nullptr);
    ::SendMessageW(list, WM_SETFONT, ::SendMessageW(window, WM_GETFONT, 0, 0), FALSE);
    for (const std::string& item : items) {
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidenAnsi(item).c_str()));
    }
}

INT_PTR OnInitDialog(HWND window) {
    App().mainWindow = window;
    ScanProgramFolder();
    SetClientSize(window, kClientWidth, kClientHeight);
    AddScriptList(window);
    return TRUE;
}

INT_PTR OnSysCommand(HWND window, WPARAM command) {
    if ((command & 0xFFF0) == SC_CLOSE) {
        ::EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

void OnDestroy() {
    ::DeleteFileW(WidenAnsi(ProgramFolder() + kValidationLogName).c_str());
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window);
        case WM_SYSCOMMAND:
            return OnSysCommand(window, wParam);
        case WM_COMMAND:
            // Enter and Escape arrive as IDOK and IDCANCEL; neither closes the window.
            return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int CreateMainWindow() {
    const DWORD style =
        DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    DialogTemplate dialog(style, WS_EX_ACCEPTFILES, kTitle, L"MS Sans Serif", 8);
    return static_cast<int>(::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(),
                                                      nullptr, MainWindowProc, 0));
}

}  // namespace quillon

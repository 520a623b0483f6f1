#include "app/ShowBatch_win.h"

#include <cstring>
#include <vector>

#include "app/AppState_win.h"
#include "app/SettingRows_win.h"
#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "base/ProgramFolder_win.h"
#include "base/Text.h"
#include "catalogue/ScriptSettings.h"
#include "dialogs/DialogTemplate_win.h"
#include "execution/BatchScript.h"
#include "execution/ConsoleText_win.h"
#include "pictures/InputSlots.h"

namespace quillon {

namespace {

constexpr int kBatchTextId = 101;
constexpr int kCopyId = 102;
constexpr int kBoxWidth = 480;
constexpr int kBoxHeight = 260;

// The batch is written in the console's code page; the box shows it in letters.
std::wstring ConsoleTextShown(const std::string& text) {
    const int length =
        ::MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              length);
    return wide;
}

void CopyToClipboard(HWND box, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return;
    void* locked = ::GlobalLock(memory.get());
    if (locked == nullptr)
        return;
    std::memcpy(locked, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    if (!::OpenClipboard(box))
        return;
    ::EmptyClipboard();
    // The clipboard owns the memory once it takes it.
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr)
        memory.release();
    ::CloseClipboard();
}

HWND AddChild(HWND box, const wchar_t* kind, const wchar_t* text, DWORD style, DWORD extended,
              int id, RECT rect) {
    HWND child = ::CreateWindowExW(extended, kind, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                                   rect.top, rect.right - rect.left, rect.bottom - rect.top, box,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(child, WM_SETFONT, ::SendMessageW(box, WM_GETFONT, 0, 0), FALSE);
    return child;
}

INT_PTR CALLBACK BatchBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetClientSize(box, kBoxWidth, kBoxHeight);
            const auto* text = reinterpret_cast<const std::wstring*>(lParam);
            HWND edit =
                AddChild(box, L"EDIT", text->c_str(),
                         WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                             ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                         WS_EX_CLIENTEDGE, kBatchTextId, {8, 8, kBoxWidth - 8, kBoxHeight - 40});
            AddChild(box, L"BUTTON", L"Copy", WS_TABSTOP | BS_PUSHBUTTON, 0, kCopyId,
                     {kBoxWidth - 176, kBoxHeight - 32, kBoxWidth - 96, kBoxHeight - 8});
            AddChild(box, L"BUTTON", L"Close", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDCANCEL,
                     {kBoxWidth - 88, kBoxHeight - 32, kBoxWidth - 8, kBoxHeight - 8});
            ScaleLaidOutWindow(box);
            ::SetFocus(edit);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kCopyId) {
                const int length = ::GetWindowTextLengthW(::GetDlgItem(box, kBatchTextId));
                std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
                ::GetDlgItemTextW(box, kBatchTextId, text.data(), length + 1);
                text.resize(static_cast<std::size_t>(length));
                CopyToClipboard(box, text);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                ::EndDialog(box, 0);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::string BatchOfChosenScript(HWND window) {
    AppState& app = App();
    if (!app.catalogue.Contains(app.currentScript))
        return "";
    const ScriptEntry entry = app.catalogue.At(app.currentScript);
    const SettingValues values = SettingValuesFor(entry.settings, SettingRowValues(window));
    if (!values.problem.empty())
        return values.problem;
    std::vector<BatchPicture> pictures;
    for (int i = 1; i <= entry.argCount && i <= kSlotCount; ++i) {
        const InputSlot& slot = InputSlots()[static_cast<std::size_t>(i)];
        pictures.push_back({TrimBlanks(slot.path), slot.width, slot.height});
    }
    // Where the folder question would ask, the program's folder stands for the answer.
    const std::string folder =
        PolicyOutputFolder(app.outputPolicy, pictures, ProgramFolder()).value_or(ProgramFolder());
    return BuildBatch(TrimBlanks(entry.body), entry.eraseTemp == 1, pictures, folder, ToConsoleText,
                      values.values)
        .text;
}

void ShowBatch(HWND window) {
    if (!App().catalogue.Contains(App().currentScript)) {
        ::MessageBeep(MB_OK);
        return;
    }
    const std::wstring text = ConsoleTextShown(BatchOfChosenScript(window));
    const DialogTemplate dialog(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                                L"The batch Execute writes", L"MS Shell Dlg", 8);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(), window, BatchBoxProc,
                              reinterpret_cast<LPARAM>(&text));
}

}  // namespace quillon

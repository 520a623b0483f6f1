// The main window: a modal dialog built at run time, laid out in pixels, and its handler.
#include "app/MainWindow_win.h"

#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/ButtonGlyph.h"
#include "app/ImageMagickCheck_win.h"
#include "app/MainWindowLayout.h"
#include "app/MenuIds.h"
#include "app/NewScript_win.h"
#include "app/ScriptCommands_win.h"
#include "app/ScriptFolderWatch_win.h"
#include "app/StartUp_win.h"
#include "app/WebPages.h"
#include "app/WebPages_win.h"
#include "base/AnsiText_win.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/WorkArea_win.h"
#include "dialogs/DialogTemplate_win.h"
#include "dialogs/MyMsgBox_win.h"
#include "execution/PictureReduction_win.h"
#include "pictures/DropFile_win.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotSet_win.h"
#include "settings/OutputFoldersDialog_win.h"
#include "settings/WindowPosition_win.h"

namespace quillon {
namespace {

constexpr DWORD kWindowStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The shell's classic dialog face, Microsoft Sans Serif: the TrueType twin of the bitmap
// "MS Sans Serif" the layout was measured in, and one the system links to fonts with Chinese,
// Japanese and Korean letters, so scripts named in those letters are legible in the list. No
// DS_SHELLFONT: it would ask for Tahoma, whose letters are wider than the layout allows for.
constexpr wchar_t kWindowFont[] = L"MS Shell Dlg";
constexpr WORD kWindowFontPoints = 8;
constexpr char kValidationLogName[] = "Xml_Log.txt";
constexpr UINT kPopupMenuFlags = TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN;

HMENU IdAsMenu(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

// ---- Building the window --------------------------------------------------------------

// A glyph bitmap as an icon whose background lets the button face show through. Shown as a
// plain bitmap, the glyph's flat background turns a disabled button into a grey square.
UniqueIcon GlyphIcon(const char* name) {
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), WidenAnsi(name).c_str(),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size{};
    if (!bitmap || ::GetObjectW(bitmap.get(), sizeof(size), &size) == 0)
        return UniqueIcon();
    const int width = size.bmWidth;
    const int height = size.bmHeight < 0 ? -size.bmHeight : size.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down, like the pixel vectors
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    WindowDc screen(nullptr);
    if (pixels.empty() || ::GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(height),
                                      pixels.data(), &format, DIB_RGB_COLORS) == 0)
        return UniqueIcon();

    const std::vector<std::uint32_t> clear = GlyphWithClearBackground(pixels);
    const std::vector<std::uint8_t> mask = GlyphMask(clear, width, height);
    void* bits = nullptr;
    UniqueBitmap colour(
        ::CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueBitmap monochrome(::CreateBitmap(width, height, 1, 1, mask.data()));
    if (!colour || bits == nullptr || !monochrome)
        return UniqueIcon();
    std::memcpy(bits, clear.data(), clear.size() * sizeof(clear[0]));
    ICONINFO icon{TRUE, 0, 0, monochrome.get(), colour.get()};
    return UniqueIcon(::CreateIconIndirect(&icon));
}

// The icons of the pen and menu buttons, made once and kept for the process.
HICON ButtonIcon(const char* name) {
    static std::map<std::string, UniqueIcon> made;
    auto found = made.find(name);
    if (found == made.end())
        found = made.emplace(name, GlyphIcon(name)).first;
    return found->second.get();
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD extendedStyle;
};

ControlClass ClassOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::ScriptList:
            return {L"COMBOBOX", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::StatusLine:
            return {L"EDIT", kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY,
                    WS_EX_CLIENTEDGE};
        case ControlKind::BitmapButton:
            return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0};
        case ControlKind::TextButton:
        case ControlKind::PictureArea:
            break;
    }
    return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
}

HWND AddControl(HWND window, const ControlEntry& entry, int height) {
    if (entry.kind == ControlKind::PictureArea)
        return CreatePictureArea(window, entry.id,
                                 {entry.rect.x, entry.rect.y, entry.rect.width, height});
    const ControlClass kind = ClassOf(entry.kind);
    const std::wstring text =
        entry.kind == ControlKind::BitmapButton ? std::wstring() : WidenAnsi(entry.text);
    HWND control = ::CreateWindowExW(kind.extendedStyle, kind.name, text.c_str(), kind.style,
                                     entry.rect.x, entry.rect.y, entry.rect.width, height, window,
                                     IdAsMenu(entry.id), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT, ::SendMessageW(window, WM_GETFONT, 0, 0), FALSE);
    if (entry.kind == ControlKind::BitmapButton) {
        ::SendMessageW(control, BM_SETIMAGE, IMAGE_ICON,
                       reinterpret_cast<LPARAM>(ButtonIcon(entry.text)));
    }
    return control;
}

void AddControls(HWND window) {
    const std::vector<std::string> items = CatalogueListItems(App().catalogue);
    for (const ControlEntry& entry : MainWindowControls()) {
        const bool isList = entry.kind == ControlKind::ScriptList;
        const int height =
            isList ? ScriptListHeight(static_cast<int>(items.size())) : entry.rect.height;
        HWND control = AddControl(window, entry, height);
        if (isList)
            FillScriptList(control, items);
        if (!entry.enabled)
            ::EnableWindow(control, FALSE);
    }
}

// ---- Commands -------------------------------------------------------------------------

void OnScriptChosen(HWND window) {
    HWND list = ::GetDlgItem(window, kScriptListId);
    const LRESULT index = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return;  // a confirmation with nothing selected names no script
    const int position = static_cast<int>(index) + 1;
    const LRESULT length = ::SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::wcslen(text.c_str()));

    SetOutputStatus(window, "");
    EnableItem(window, kExecuteButtonId, false);
    if (NarrowToAnsiMarked(text) == kNoScriptMarker) {
        EnableItem(window, kEditScriptButtonId, false);
        SetItemText(window, kInputStatusId, kCreateScriptHintText);
        return;
    }
    AppState& app = App();
    if (!app.catalogue.Contains(position))
        return;
    app.currentScript = position;
    LayoutSlots(window, app.catalogue.At(position).argCount);
}

void OnMenuButton(HWND window) {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::TrackPopupMenu(App().mainMenu, kPopupMenuFlags, pointer.x, pointer.y, 0, window, nullptr);
}

// A click (code 0) or double-click (code 1) of a picture area; a push button reports its
// clicks with code 0 too.
bool IsClick(int code) {
    return code == STN_CLICKED || code == STN_DBLCLK;
}

// The buttons and the output area, each acting on a click or double-click.
struct ClickCommand {
    int id;
    void (*run)(HWND window);
};
constexpr ClickCommand kClickCommands[] = {
    {kMenuButtonId, OnMenuButton},
    {kEditScriptButtonId, OnEditScript},
    {kExecuteButtonId, OnExecute},
    {kOutputPictureId, OnShowOutputFile},
};

INT_PTR OnCommand(HWND window, int id, int code) {
    switch (id) {
        case IDOK:
        case IDCANCEL:
            return TRUE;  // Enter and Escape arrive as these; neither closes the window
        case kScriptListId:
            if (code != CBN_SELENDOK)
                return FALSE;
            OnScriptChosen(window);
            return TRUE;
        case kCmdNewScript:
            CreateNewScript(window);  // refuses with a beep while another command waits
            return TRUE;
        case kCmdDiagnostics:
            ShowValidationLog();
            return TRUE;
        case kCmdOutputFolders:
            App().outputPolicy = ShowOutputFoldersDialog(window, App().outputPolicy);
            return TRUE;
        default:
            break;
    }
    for (const ClickCommand& command : kClickCommands) {
        if (command.id != id)
            continue;
        if (!IsClick(code))
            return FALSE;
        command.run(window);
        return TRUE;
    }
    if (const char* page = PageOfCommand(id)) {
        OpenWebPage(window, page);
        return TRUE;
    }
    if (id >= kFirstSlotId && id <= kLastSlotId && IsClick(code)) {
        ChoosePictureForSlot(window, id - kSlotIdBase, ChosenArgCount());
        return TRUE;
    }
    return FALSE;
}

// ---- Window events --------------------------------------------------------------------

// The slots' way to pictures GDI+ cannot read: reduced copies made by ImageMagick, in a
// folder of the window's own that goes with it.
class ImageMagickReducer final : public PictureReducer {
  public:
    ImageMagickReducer() : copies_(kReducedCopySide) {}
    Reduction Reduce(const std::string& path) override {
        ImageMagickReduction made = copies_.Reduce(path);
        Reduction reduction;
        reduction.refusal = std::move(made.refusal);
        if (made.size && !made.copyPath.empty())
            reduction.picture = ReducedPicture{*made.size, std::move(made.copyPath)};
        return reduction;
    }

  private:
    ReducedCopies copies_;
};

INT_PTR OnInitDialog(HWND window) {
    AppState& app = App();
    app.mainWindow = window;
    app.currentScript = 0;
    app.hoverSlot = 0;
    WatchScriptFolder(window);  // before the scan, so that no change after it goes unseen
    ScanProgramFolder();        // before the controls: the list is built from its result
    SetClientSize(window, kMainClientSize.width, kMainClientSize.height);
    AddControls(window);
    SetProgramIcon(window);
    CentreOnWorkArea(window);       // on the monitor the window was created on
    RestoreWindowPosition(window);  // the centred place stays when there is none to restore

    // The window's own start: the drop target, then the no-script state.
    app.dropTarget.Reset(new DropFileC(window, [] {
        return DropContext{ChosenArgCount().value_or(0), App().hoverSlot};
    }));
    app.pictureReducer = std::make_unique<ImageMagickReducer>();
    SetPictureReducer(app.pictureReducer.get());
    ShowNoScript(window);
    app.imageMagickVersion = ReadImageMagickVersion();
    ::PostMessageW(window, kCheckImageMagickMessage, 0, 0);
    return FALSE;  // focus is left where the dialog manager puts it
}

INT_PTR OnSysCommand(HWND window, WPARAM command) {
    // Before the command is carried out: a close stores where the window was left.
    SaveWindowPosition(window);
    if ((command & 0xFFF0) == SC_CLOSE) {
        ::EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR OnSetCursor(HWND window, HWND underPointer) {
    App().hoverSlot = UpdateHoverSlot(window, underPointer, ChosenArgCount().value_or(0));
    if (App().hoverSlot == 0)
        return FALSE;
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

std::wstring DroppedPath(HDROP drop, UINT index = 0) {
    const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, index, path.data(), length + 1);
    path.resize(copied);
    return path;
}

// The slot under the drop point, found as a cursor query there would find it. A shell drag
// holds the mouse, so no cursor query reaches the window while the file is dragged over it.
void UpdateHoverSlotAtDrop(HWND window, HDROP drop) {
    POINT point{};
    HWND target = nullptr;
    if (::DragQueryPoint(drop, &point))
        target = ::ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE);
    App().hoverSlot = SlotUnderPointer(window, target, ChosenArgCount().value_or(0));
}

constexpr char kSetOnSlotOneText[] = "Several pictures or a folder go on slot 1";

// Several files, or a folder, dropped on slot 1 of a script that takes pictures: slot 1
// holds them all.
bool DroppedSet(HWND window, HDROP drop, UINT count) {
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i)
        paths.push_back(NarrowToAnsiMarked(DroppedPath(drop, i)));
    if (count == 1 && !IsFolder(paths.front()))
        return false;
    UpdateHoverSlotAtDrop(window, drop);
    if (App().hoverSlot != 1) {
        RefusalBeep();
        SetItemText(window, kInputStatusId, kSetOnSlotOneText);
    } else {
        FillSlotOne(window, paths, ChosenArgCount().value_or(0));
    }
    return true;
}

INT_PTR OnDropFiles(HWND window, HDROP drop) {
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count >= 1 && !DroppedSet(window, drop, count)) {
        // The wide name, narrowed without guessing: a character the code page lacks becomes
        // a '?', which no file name can hold, so it is refused instead of opening another file.
        const std::string path = NarrowToAnsiMarked(DroppedPath(drop));
        UpdateHoverSlotAtDrop(window, drop);
        if (App().dropTarget)
            App().dropTarget.get()->LoadDroppedFile(path);
    }
    ::DragFinish(drop);
    return FALSE;
}

void OnDestroy() {
    StopWatchingScriptFolder();
    // The pictures go before the folder of their reduced copies.
    for (InputSlot& slot : InputSlots())
        slot.picture.reset();
    SetPictureReducer(nullptr);
    App().pictureReducer.reset();
    ::DeleteFileW(WidenAnsi(ProgramFolder() + kValidationLogName).c_str());
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window);
        case WM_SYSCOMMAND:
            return OnSysCommand(window, wParam);
        case WM_SETCURSOR:
            return OnSetCursor(window, reinterpret_cast<HWND>(wParam));
        case WM_DROPFILES:
            return OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        case WM_COMMAND:
            return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        case kCheckImageMagickMessage:
            return OnCheckImageMagick(window);
        case kScriptsChangedMessage:
            OnScriptsChanged(window);
            return TRUE;
        case WM_TIMER:
            return OnScriptsChangedTimer(window, wParam);
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

DialogTemplate MainWindowTemplate() {
    return DialogTemplate(kWindowStyle, WS_EX_ACCEPTFILES, WidenAnsi(kMainWindowTitle), kWindowFont,
                          kWindowFontPoints);
}

}  // namespace

std::string ControlText(int id) {
    return ItemText(App().mainWindow, id);
}

int CreateMainWindow() {
    const DialogTemplate dialog = MainWindowTemplate();
    return static_cast<int>(::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(),
                                                      nullptr, MainWindowProc, 0));
}

HWND CreateMainWindowModeless() {
    const DialogTemplate dialog = MainWindowTemplate();
    HWND window = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(), nullptr,
                                               MainWindowProc, 0);
    if (window != nullptr)
        ::ShowWindow(window, SW_SHOW);
    return window;
}

}  // namespace quillon

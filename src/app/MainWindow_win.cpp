// The main window: a modal dialog built at run time, laid out in pixels, and its handler.
#include "app/MainWindow_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/AppState_win.h"
#include "app/ButtonGlyph.h"
#include "app/HandOver_win.h"
#include "app/ImageMagickCheck_win.h"
#include "app/Keyboard_win.h"
#include "app/LivePreview_win.h"
#include "app/MainWindowLayout.h"
#include "app/MenuIds.h"
#include "app/NewScript_win.h"
#include "app/ScriptCommands_win.h"
#include "app/ScriptFolderWatch_win.h"
#include "app/SettingRows_win.h"
#include "app/ShowBatch_win.h"
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

constexpr DWORD kWindowStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                               WS_MAXIMIZEBOX | WS_THICKFRAME;
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
UniqueIcon GlyphIcon(const char* name, int factor) {
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), WidenAnsi(name).c_str(),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size{};
    if (!bitmap || ::GetObjectW(bitmap.get(), sizeof(size), &size) == 0)
        return UniqueIcon();
    const int drawnWidth = size.bmWidth;
    const int drawnHeight = size.bmHeight < 0 ? -size.bmHeight : size.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = drawnWidth;
    format.bmiHeader.biHeight = -drawnHeight;  // top-down, like the pixel vectors
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(drawnWidth) *
                                      static_cast<std::size_t>(drawnHeight));
    WindowDc screen(nullptr);
    if (pixels.empty() || ::GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(drawnHeight),
                                      pixels.data(), &format, DIB_RGB_COLORS) == 0)
        return UniqueIcon();

    const int width = drawnWidth * factor;
    const int height = drawnHeight * factor;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    const std::vector<std::uint32_t> clear =
        GlyphWithClearBackground(GlyphGrown(pixels, drawnWidth, drawnHeight, factor));
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

// The icons of the pen and menu buttons, made once for each scaling and kept for the process.
HICON ButtonIcon(const char* name, int dpi) {
    static std::map<std::pair<std::string, int>, UniqueIcon> made;
    const int factor = GlyphFactor(dpi);
    const std::pair<std::string, int> key{name, factor};
    auto found = made.find(key);
    if (found == made.end())
        found = made.emplace(key, GlyphIcon(name, factor)).first;
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
            // Read-only lines to read, not to stop at on the way through the window.
            return {L"EDIT", kChild | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case ControlKind::BitmapButton:
            return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0};
        case ControlKind::TextButton:
        case ControlKind::PictureArea:
            break;
    }
    return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
}

// The client area's size now, less the rows of the chosen script's settings below the rest.
PixelSize ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right,
            std::max(0, static_cast<int>(client.bottom) - SettingRowsScaledHeight(window))};
}

// Where a control goes in the window as it is now; the script list's height is the height
// of its dropped-down list.
PixelRect ControlRect(HWND window, const ControlEntry& entry, int listEntries) {
    const int dpi = DpiOfWindow(window);
    PixelRect rect = PlaceControl(entry, dpi, ClientSize(window));
    if (entry.kind == ControlKind::ScriptList)
        rect.height = ScaledLength(ScriptListHeight(listEntries), dpi);
    return rect;
}

HWND AddControl(HWND window, const ControlEntry& entry, const PixelRect& rect) {
    if (entry.kind == ControlKind::PictureArea)
        return CreatePictureArea(window, entry.id, rect, entry.id == kFirstSlotId);
    const ControlClass kind = ClassOf(entry.kind);
    const std::wstring text =
        entry.kind == ControlKind::BitmapButton ? std::wstring() : WidenAnsi(entry.text);
    HWND control = ::CreateWindowExW(kind.extendedStyle, kind.name, text.c_str(), kind.style,
                                     rect.x, rect.y, rect.width, rect.height, window,
                                     IdAsMenu(entry.id), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT, ::SendMessageW(window, WM_GETFONT, 0, 0), FALSE);
    if (entry.kind == ControlKind::BitmapButton) {
        ::SendMessageW(control, BM_SETIMAGE, IMAGE_ICON,
                       reinterpret_cast<LPARAM>(ButtonIcon(entry.text, DpiOfWindow(window))));
    }
    return control;
}

void AddControls(HWND window) {
    const std::vector<std::string> items = CatalogueListItems(App().catalogue);
    for (const ControlEntry& entry : MainWindowControls()) {
        const bool isList = entry.kind == ControlKind::ScriptList;
        HWND control =
            AddControl(window, entry, ControlRect(window, entry, static_cast<int>(items.size())));
        if (isList)
            FillScriptList(control, items);
        if (!entry.enabled)
            ::EnableWindow(control, FALSE);
    }
}

// ---- Files dropped or pasted ---------------------------------------------------------

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

// The files a drop or the clipboard holds. The wide names, narrowed without guessing: a
// character the code page lacks becomes a '?', which no file name can hold, so it is refused
// instead of opening another file.
std::vector<std::string> FilesOf(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i)
        paths.push_back(NarrowToAnsiMarked(DroppedPath(drop, i)));
    return paths;
}

// Several files, or a folder, given to slot 1 of a script that takes pictures: slot 1 holds
// them all; given to any other slot, they are refused. False for a single file.
bool TakeSet(HWND window, const std::vector<std::string>& paths, int slot) {
    if (paths.size() == 1 && !IsFolder(paths.front()))
        return false;
    if (slot != 1) {
        RefusalBeep();
        SetItemText(window, kInputStatusId, kSetOnSlotOneText);
    } else {
        FillSlotOne(window, paths, ChosenArgCount().value_or(0));
    }
    return true;
}

// Opens the clipboard for as long as it lives.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND window) : open_(::OpenClipboard(window) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_)
            ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool open() const { return open_; }

  private:
    bool open_;
};

// Files copied in the file manager, pasted into a slot: as a drop of them on that slot.
void PasteIntoSlot(HWND window, int slot) {
    std::vector<std::string> paths;
    if (::IsClipboardFormatAvailable(CF_HDROP)) {
        OpenClipboardScope clipboard(window);
        // The clipboard keeps the drop; it is read, never finished here.
        if (HANDLE drop = clipboard.open() ? ::GetClipboardData(CF_HDROP) : nullptr)
            paths = FilesOf(static_cast<HDROP>(drop));
    }
    const int argCount = ChosenArgCount().value_or(0);
    if (paths.empty() || slot > argCount) {
        RefusalBeep();
        return;
    }
    if (TakeSet(window, paths, slot))
        return;
    SetOutputStatus(window, "");
    FillSlot(window, slot, paths.front(), argCount);
}

// ---- Size and scaling -------------------------------------------------------------------

// The client size the user last gave the window while it was neither maximised nor minimised,
// in the 96-DPI layout's pixels: what the next start opens at.
PixelSize& RestoredClientSize() {
    static PixelSize size = kMainClientSize;
    return size;
}

int UnscaledLength(int length, int dpi) {
    return dpi <= 0
               ? length
               : static_cast<int>((static_cast<long long>(length) * kLayoutDpi + dpi / 2) / dpi);
}

// Places every control for the window's size and scaling and draws the pictures again.
void LayOutControls(HWND window) {
    if (::GetDlgItem(window, kMenuButtonId) == nullptr)
        return;  // the controls are not made yet
    const int listEntries =
        static_cast<int>(::SendDlgItemMessageW(window, kScriptListId, CB_GETCOUNT, 0, 0));
    const DeferredAreaPaints oneRepaint;
    for (const ControlEntry& entry : MainWindowControls()) {
        const PixelRect rect = ControlRect(window, entry, listEntries < 0 ? 0 : listEntries);
        if (entry.id == kFirstSlotId) {
            PlaceInputArea(window, rect);
            continue;
        }
        HWND control = ::GetDlgItem(window, entry.id);
        if (entry.kind == ControlKind::PictureArea)
            PlacePictureArea(control, rect);
        else
            ::SetWindowPos(control, nullptr, rect.x, rect.y, rect.width, rect.height, kQuietMove);
    }
    PlaceSettingRows(window);
    DrawPicturesAgain(window);
    // The moves drew nothing: one paint shows the window and every control at their places.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

INT_PTR OnSize(HWND window, WPARAM kind) {
    if (kind == SIZE_MINIMIZED)
        return FALSE;
    if (kind == SIZE_RESTORED) {
        const PixelSize client = ClientSize(window);
        const int dpi = DpiOfWindow(window);
        RestoredClientSize() = {UnscaledLength(client.width, dpi),
                                UnscaledLength(client.height, dpi)};
    }
    LayOutControls(window);
    return TRUE;
}

// The window is never made smaller than the drawn layout at its scaling.
INT_PTR OnGetMinMaxInfo(HWND window, MINMAXINFO* limits) {
    const PixelSize smallest = MainClientSizeAt(DpiOfWindow(window));
    RECT frame{0, 0, smallest.width, smallest.height + SettingRowsScaledHeight(window)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
    return TRUE;
}

// The dialog font at the window's scaling, made when the window moves to a monitor of another
// scaling; the one the dialog was made with serves until then.
UniqueFont& ScaledWindowFont() {
    static UniqueFont font;
    return font;
}

// Moved to a monitor of another scaling: the text at that scaling, the window at the size the
// system suggests for it, and the controls laid out again for both.
INT_PTR OnDpiChanged(HWND window, int dpi, const RECT* suggested) {
    LOGFONTW face{};
    if (HGDIOBJ current = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
        current != nullptr && ::GetObjectW(current, sizeof(face), &face) != 0) {
        face.lfHeight = -::MulDiv(kWindowFontPoints, dpi, 72);
        face.lfWidth = 0;
        UniqueFont font(::CreateFontIndirectW(&face));
        if (font) {
            for (const ControlEntry& entry : MainWindowControls())
                ::SendDlgItemMessageW(window, entry.id, WM_SETFONT,
                                      reinterpret_cast<WPARAM>(font.get()), TRUE);
            SetSettingRowsFont(window, font.get());
            ScaledWindowFont() = std::move(font);
        }
    }
    for (const ControlEntry& entry : MainWindowControls()) {
        if (entry.kind == ControlKind::BitmapButton)
            ::SendDlgItemMessageW(window, entry.id, BM_SETIMAGE, IMAGE_ICON,
                                  reinterpret_cast<LPARAM>(ButtonIcon(entry.text, dpi)));
    }
    if (suggested != nullptr)
        ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutControls(window);
    return TRUE;
}

// Opens the window at the size the user left it at, within the work area, maximised if it
// was.
void RestoreWindowSize(HWND window) {
    const std::optional<KeptSize> kept = ReadWindowSize();
    if (!kept)
        return;
    const int dpi = DpiOfWindow(window);
    const PixelSize smallest = MainClientSizeAt(dpi);
    const PixelRect work = WorkAreaNear(window);
    PixelSize client{ScaledLength(kept->client.width, dpi), ScaledLength(kept->client.height, dpi)};
    client.width = std::max(smallest.width, std::min(client.width, work.width));
    client.height = std::max(smallest.height, std::min(client.height, work.height));
    SetClientSize(window, client.width, client.height);
    if (kept->maximised)
        ::ShowWindow(window, SW_SHOWMAXIMIZED);
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
        HideSettingRows(window);
        SetItemText(window, kInputStatusId, kCreateScriptHintText);
        return;
    }
    AppState& app = App();
    if (!app.catalogue.Contains(position))
        return;
    app.currentScript = position;
    LayoutSlots(window, app.catalogue.At(position).argCount);
    ShowScriptSettings(window, app.catalogue.At(position));
    PlaceHandedPictures(window);  // pictures from Explorer wait for a script that takes them
}

// At the pointer for a click; opened from the keyboard, just above the button, where the
// eye already is, leaving the button itself in view.
void OnMenuButton(HWND window) {
    RECT button{};
    if (LastInputWasKeyboard() && ::GetWindowRect(::GetDlgItem(window, kMenuButtonId), &button)) {
        TPMPARAMS avoid{sizeof(avoid), button};
        ::TrackPopupMenuEx(App().mainMenu, kPopupMenuFlags | TPM_VERTICAL, button.right, button.top,
                           window, &avoid);
        return;
    }
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

// A slot's keys and clicks: a click, Enter or Space opens its chooser, Delete empties it,
// a paste fills it.
bool OnSlotCommand(HWND window, int slot, int code) {
    if (code == kAreaEmptyKey) {
        EmptySlot(window, slot, ChosenArgCount());
    } else if (code == kAreaPasteKey) {
        PasteIntoSlot(window, slot);
    } else if (IsClick(code)) {
        HWND area = ::GetDlgItem(window, kSlotIdBase + slot);
        const bool focused = area != nullptr && ::GetFocus() == area;
        ChoosePictureForSlot(window, slot, ChosenArgCount());
        // Back where the keys left off, whether or not the closing chooser gave the window
        // its focus back.
        if (focused && ::IsWindow(area))
            ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(area), TRUE);
    } else {
        return false;
    }
    return true;
}

// Enter, when the focused control does not take it itself. A slot takes it, but should the
// dialog manager pass it on as the default button's, it still opens the slot's chooser.
void OnEnter(HWND window) {
    HWND focus = ::GetFocus();
    const int id = focus != nullptr && ::GetParent(focus) == window ? ::GetDlgCtrlID(focus) : 0;
    if (id >= kFirstSlotId && id <= kLastSlotId)
        OnSlotCommand(window, id - kSlotIdBase, STN_CLICKED);
}

INT_PTR OnCommand(HWND window, int id, int code) {
    switch (id) {
        case IDOK:
            OnEnter(window);
            return TRUE;  // Enter never closes the window
        case IDCANCEL:
            return TRUE;  // nor does Escape
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
        case kCmdShowBatch:
            ShowBatch(window);
            return TRUE;
        case kCmdLivePreview:
            OnLivePreviewCommand(window);
            return TRUE;
        case kOutputPictureId:
            if (OnOutputAreaHold(window, code))
                return TRUE;
            break;
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
    if (id >= kFirstSlotId && id <= kLastSlotId)
        return OnSlotCommand(window, id - kSlotIdBase, code) ? TRUE : FALSE;
    if (!OnSettingRowCommand(window, id, code))
        return FALSE;
    if (code == EN_CHANGE || code == CBN_SELCHANGE || code == BN_CLICKED)
        PreviewSoon(window);
    return TRUE;
}

// ---- Window events --------------------------------------------------------------------

// The slots' way to pictures GDI+ cannot read: reduced copies made by ImageMagick, in a
// folder of the window's own that goes with it.
class ImageMagickReducer final : public PictureReducer {
  public:
    ImageMagickReducer() : copies_(kReducedCopySide) {}
    Reduction Reduce(const std::string& path) override {
        // A large HEIC or raw picture takes ImageMagick seconds: while the window waits for
        // it, the pointer says the window is busy rather than hung. The live preview's
        // copies are made on a thread of their own, and the window goes on meanwhile.
        const bool windowWaits =
            ::GetWindowThreadProcessId(App().mainWindow, nullptr) == ::GetCurrentThreadId();
        const HCURSOR before =
            windowWaits ? ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT)) : nullptr;
        ImageMagickReduction made = copies_.Reduce(path);
        if (windowWaits)
            ::SetCursor(before);
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
    WatchKeyboard(window);
    ScanProgramFolder();  // before the controls: the list is built from its result
    const PixelSize smallest = MainClientSizeAt(DpiOfWindow(window));
    SetClientSize(window, smallest.width, smallest.height);
    AddControls(window);
    PlaceInputArea(window, ControlRect(window, ControlEntryOf(kFirstSlotId), 0));
    RestoreWindowSize(window);
    SetProgramIcon(window);
    CentreOnWorkArea(window);       // on the monitor the window was created on
    RestoreWindowPosition(window);  // the centred place stays when there is none to restore

    // The window's own start: the drop target, then the no-script state.
    app.dropTarget.Reset(new DropFileC(window, [] {
        return DropContext{ChosenArgCount().value_or(0), App().hoverSlot};
    }));
    app.pictureReducer = std::make_unique<ImageMagickReducer>();
    SetPictureReducer(app.pictureReducer.get());
    StartLivePreview(window);
    ShowNoScript(window);
    PlaceHandedPictures(window);  // the command line's, which ask for a script first
    MarkProgramWindow(window);
    ShowFocusMarks(window);
    app.imageMagickVersion = ReadImageMagickVersion();
    ::PostMessageW(window, kCheckImageMagickMessage, 0, 0);
    return FALSE;  // focus is left where the dialog manager puts it
}

INT_PTR OnSysCommand(HWND window, WPARAM command) {
    // Before the command is carried out: a close stores where the window was left.
    SaveWindowPosition(window);
    SaveWindowSize({RestoredClientSize(), ::IsZoomed(window) != FALSE});
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

INT_PTR OnDropFiles(HWND window, HDROP drop) {
    const std::vector<std::string> paths = FilesOf(drop);
    if (!paths.empty()) {
        UpdateHoverSlotAtDrop(window, drop);
        if (!TakeSet(window, paths, App().hoverSlot) && App().dropTarget)
            App().dropTarget.get()->LoadDroppedFile(paths.front());
    }
    ::DragFinish(drop);
    return FALSE;
}

void OnDestroy(HWND window) {
    UnmarkProgramWindow(window);
    ForgetSettingRows(window);
    StopWatchingKeyboard();
    StopWatchingScriptFolder();
    StopLivePreview(window);  // its worker reads pictures through the reducer
    // The pictures go before the folder of their reduced copies.
    for (InputSlot& slot : InputSlots())
        slot.picture.reset();
    SetPictureReducer(nullptr);
    App().pictureReducer.reset();
    ::DeleteFileW(WidenAnsi(ProgramFolder() + kValidationLogName).c_str());
}

// Pictures a second start of the program hands over; the answer goes back to it.
INT_PTR OnCopyData(HWND window, const COPYDATASTRUCT* data) {
    const BOOL taken = OnHandedPictures(window, data) ? TRUE : FALSE;
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, taken);
    return TRUE;
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window);
        case WM_SYSCOMMAND:
            return OnSysCommand(window, wParam);
        case WM_SETCURSOR:
            return OnSetCursor(window, reinterpret_cast<HWND>(wParam));
        case WM_SIZE:
            return OnSize(window, wParam);
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_DPICHANGED:
            return OnDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        case WM_DROPFILES:
            return OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        case WM_HSCROLL:
            if (!OnSettingRowScroll(window, reinterpret_cast<HWND>(lParam)))
                return FALSE;
            PreviewSoon(window);
            return TRUE;
        case WM_DRAWITEM:
            return OnSettingRowDraw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        case WM_COMMAND:
            return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        case kCheckImageMagickMessage:
            return OnCheckImageMagick(window);
        case kScriptsChangedMessage:
            OnScriptsChanged(window);
            return TRUE;
        case WM_COPYDATA:
            return OnCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case kReadFolderAgainMessage:
            ReadScriptFolderNow(window);
            return TRUE;
        case kPlaceHandedPicturesMessage:
            PlaceHandedPictures(window);
            return TRUE;
        case WM_TIMER:
            return OnScriptsChangedTimer(window, wParam) || OnHandedPicturesTimer(window, wParam) ||
                   OnLivePreviewTimer(window, wParam);
        case kPreviewDoneMessage:
            OnLivePreviewDone(window, wParam);
            return TRUE;
        case WM_DESTROY:
            OnDestroy(window);
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

#include "dialogs/MyMsgBox_win.h"

#include <climits>
#include <cwchar>
#include <string>
#include <vector>

#include "base/AnsiText_win.h"
#include "base/DialogItems_win.h"
#include "base/Handles_win.h"
#include "base/WorkArea_win.h"
#include "dialogs/DialogTemplate_win.h"
#include "dialogs/MsgBoxContent.h"
#include "dialogs/MsgBoxLayout.h"
#include "dialogs/MsgBoxStyle.h"

namespace quillon {
namespace {

constexpr int kInitialClientWidth = 400;
constexpr int kInitialClientHeight = 100;
constexpr int kPointsPerInch = 72;
constexpr wchar_t kProgramIconName[] = L"AICO";
constexpr int kCheckHeight = 20;
constexpr int kCheckGap = 4;

// Everything one box needs while it is shown; what it owns is released when the box ends.
struct MsgBoxState {
    std::string text;
    std::vector<std::string> captions;
    MsgBoxIcon iconChoice;
    MsgBoxStyle style;
    UniqueFont textFont;
    UniqueFont buttonFont;
    UniqueIcon icon;
    UniqueBrush background;
    int focusButtonId = kMsgBoxFirstButtonId;
    std::vector<MsgBoxCheck>* checks = nullptr;
};

bool IsSystemDefault(int colour) {
    return colour < 0;
}

UniqueFont CreateRegularFont(HDC dc, const std::string& face, int points) {
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring wideFace = WidenAnsi(face);
    std::wcsncpy(font.lfFaceName, wideFace.c_str(), LF_FACESIZE - 1);
    return UniqueFont(::CreateFontIndirectW(&font));
}

PixelSize Measure(HDC dc, HFONT font, const std::wstring& text) {
    ScopedSelectObject selected(dc, font);
    SIZE size{};
    const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
    ::GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    return {size.cx, size.cy};
}

HWND AddControl(HWND box, const wchar_t* className, DWORD style, int id, const PixelRect& at) {
    return ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, at.x, at.y, at.width,
                             at.height, box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             nullptr, nullptr);
}

// Where the text box may end a line: before a word that follows blanks, as usual; and a
// word too wide for a line of its own (a folder path without blanks) wherever the box asks,
// since the system's own rule may let it run past the edge (Wine's does). The box passes
// the text from the start of the line it is filling, or (as some read the documentation)
// the whole text; either way a word found to start the line is broken where asked.
int CALLBACK BreakAtBlanksOrInsideLongWords(LPWSTR text, int at, int length, int code) {
    const auto blank = [text](int i) { return text[i] == L' ' || text[i] == L'\t'; };
    const auto lineStart = [text](int i) {
        return i == 0 || text[i - 1] == L'\r' || text[i - 1] == L'\n';
    };
    if (text == nullptr || at < 0 || at > length)
        return 0;
    if (code == WB_ISDELIMITER)
        return at < length && blank(at);
    if (code == WB_RIGHT) {
        int i = at;
        while (i < length && !blank(i))
            ++i;
        while (i < length && blank(i))
            ++i;
        return i;
    }
    int i = at > 0 ? at - 1 : 0;
    while (!lineStart(i) && !(blank(i - 1) && !blank(i)))
        --i;
    return lineStart(i) ? at : i;
}

// The read-only text box that shows the message; with a scroll bar when the text is taller
// than the screen lets the box be.
HWND AddTextBox(HWND box, const PixelRect& at, bool scrolls, const std::wstring& text, HFONT font) {
    HWND textBox = AddControl(box, L"EDIT", ES_MULTILINE | ES_READONLY | (scrolls ? WS_VSCROLL : 0),
                              kMsgBoxTextId, at);
    ::SendMessageW(textBox, EM_SETWORDBREAKPROC, 0,
                   reinterpret_cast<LPARAM>(BreakAtBlanksOrInsideLongWords));
    // Lift the typing limit so that a long report is shown whole.
    ::SendMessageW(textBox, EM_SETLIMITTEXT, 0, 0);
    ::SetWindowTextW(textBox, text.c_str());
    ::SendMessageW(textBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return textBox;
}

// The height of the text as the text box itself wraps it at its width (at its blanks, and
// inside a name too long for a line): its line count times its font's line height. Asking
// the box, rather than measuring alike, leaves no room for the two to disagree.
int WrappedTextHeight(HWND textBox, HDC dc, HFONT font) {
    ScopedSelectObject selected(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const LRESULT lines = ::SendMessageW(textBox, EM_GETLINECOUNT, 0, 0);
    return lines > kMsgBoxMaxCoordinate / (metrics.tmHeight > 0 ? metrics.tmHeight : 1)
               ? kMsgBoxMaxCoordinate
               : static_cast<int>(lines) * metrics.tmHeight;
}

HICON LoadSystemIcon(int id) {
    return static_cast<HICON>(::LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                           kMsgBoxIconSize, kMsgBoxIconSize, 0));
}

void AddIcon(HWND box, MsgBoxState& state) {
    // No module handle: the numbers name the system's own warning, question, error and
    // information icons. Where the system's resources lack them, the standard icons of the
    // same kind serve; failing both, the place stays empty.
    state.icon.Reset(LoadSystemIcon(state.iconChoice.resourceNumber));
    if (!state.icon)
        state.icon.Reset(LoadSystemIcon(state.iconChoice.standardIconId));
    HWND control =
        AddControl(box, L"STATIC", SS_ICON, kMsgBoxIconId,
                   {kMsgBoxIconInset, kMsgBoxIconInset, kMsgBoxIconSize, kMsgBoxIconSize});
    if (state.icon)
        ::SendMessageW(control, STM_SETIMAGE, IMAGE_ICON,
                       reinterpret_cast<LPARAM>(state.icon.get()));
}

HWND OwnerOf(HWND dialog) {
    return reinterpret_cast<HWND>(::GetWindowLongPtrW(dialog, GWLP_HWNDPARENT));
}

// The tallest client area whose window still fits the work area of the monitor where the
// box will be shown: its owner's (0, no limit, when the system tells nothing).
int LargestClientHeight(HWND box) {
    const PixelRect work = WorkAreaNear(OwnerOf(box));
    if (work.height <= 0)
        return 0;
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(box, GWL_EXSTYLE)));
    return work.height - (frame.bottom - frame.top);
}

void BuildBox(HWND box, MsgBoxState& state) {
    SetClientSize(box, kInitialClientWidth, kInitialClientHeight);
    const bool hasIcon = state.iconChoice.resourceNumber != 0;
    if (hasIcon)
        AddIcon(box, state);

    UniqueCreatedDc measuring(::CreateCompatibleDC(nullptr));
    state.textFont =
        CreateRegularFont(measuring.get(), state.style.textFontName, state.style.textFontSize);
    state.buttonFont =
        CreateRegularFont(measuring.get(), state.style.buttonFontName, state.style.buttonFontSize);

    const std::wstring text = WidenAnsi(state.text);
    const PixelSize textExtent = Measure(measuring.get(), state.textFont.get(), text);
    std::vector<std::wstring> captions;
    std::vector<int> captionWidths;
    for (const std::string& caption : state.captions) {
        captions.push_back(WidenAnsi(caption));
        // Measured as written, "&" included.
        captionWidths.push_back(
            Measure(measuring.get(), state.buttonFont.get(), captions.back()).width);
    }
    // The check boxes take rows of their own under the text; the buttons move down by as much.
    const std::size_t checkCount = state.checks ? state.checks->size() : 0;
    const int checksHeight =
        checkCount == 0 ? 0 : static_cast<int>(checkCount) * (kCheckHeight + kCheckGap) + kCheckGap;
    const int largest = LargestClientHeight(box);
    // The text box is first made at the size the one-line extent gives, so that it can tell
    // how tall its text wraps at that width; the layout then grows it where that is more.
    const PixelRect firstGuess =
        MsgBoxLayout(textExtent, state.style.textFontSize, hasIcon, captionWidths).text;
    HWND textBox = AddTextBox(box, firstGuess, false, text, state.textFont.get());
    const MsgBoxGeometry layout =
        MsgBoxLayout(textExtent, state.style.textFontSize, hasIcon, captionWidths,
                     largest > checksHeight ? largest - checksHeight : largest,
                     WrappedTextHeight(textBox, measuring.get(), state.textFont.get()));
    if (layout.textScrolls) {
        ::DestroyWindow(textBox);
        AddTextBox(box, layout.text, true, text, state.textFont.get());
    } else {
        ::MoveWindow(textBox, layout.text.x, layout.text.y, layout.text.width, layout.text.height,
                     FALSE);
    }
    for (std::size_t i = 0; i < checkCount; ++i) {
        const MsgBoxCheck& check = (*state.checks)[i];
        HWND control = AddControl(box, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX,
                                  kMsgBoxFirstCheckId + static_cast<int>(i),
                                  {layout.text.x,
                                   layout.text.y + layout.text.height + kCheckGap +
                                       static_cast<int>(i) * (kCheckHeight + kCheckGap),
                                   layout.text.width, kCheckHeight});
        ::SetWindowTextW(control, WidenAnsi(check.caption).c_str());
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.textFont.get()), FALSE);
        ::SendMessageW(control, BM_SETCHECK, check.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        PixelRect at = layout.buttons[i];
        at.y += checksHeight;
        // BS_NOTIFY makes the button report when it gains the focus, which Enter relies on.
        HWND button = AddControl(box, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY,
                                 kMsgBoxFirstButtonId + static_cast<int>(i), at);
        ::SetWindowTextW(button, captions[i].c_str());
        ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(state.buttonFont.get()), FALSE);
    }
    SetClientSize(box, layout.clientWidth, layout.clientHeight + checksHeight);

    if (!IsSystemDefault(state.style.backColour))
        state.background.Reset(::CreateSolidBrush(static_cast<COLORREF>(state.style.backColour)));
    ::MessageBeep(state.iconChoice.beepType);
    SetProgramIcon(box);
}

// Remembers the button that last had the focus and makes it the dialog's default, so that
// Enter in the text box presses it whichever way the dialog manager routes the key: as the
// default button's click, or as IDOK (handled below).
void FocusReported(HWND box, MsgBoxState& state, int buttonId) {
    state.focusButtonId = buttonId;
    ::SendMessageW(box, DM_SETDEFID, static_cast<WPARAM>(buttonId), 0);
}

INT_PTR OnInitDialog(HWND box, MsgBoxState& state) {
    ::SetWindowLongPtrW(box, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    BuildBox(box, state);
    CenterOnOwner(box);
    ShowFocusMarks(box);
    FocusReported(box, state, kMsgBoxFirstButtonId);
    ::SendMessageW(box, WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(::GetDlgItem(box, kMsgBoxFirstButtonId)), TRUE);
    return FALSE;  // the focus is set
}

INT_PTR OnCommand(HWND box, MsgBoxState& state, int id, int notification) {
    if (id >= kMsgBoxFirstButtonId && id <= kMsgBoxLastAnsweringButtonId) {
        if (notification == BN_CLICKED) {
            for (std::size_t i = 0; state.checks && i < state.checks->size(); ++i)
                (*state.checks)[i].checked =
                    ::IsDlgButtonChecked(box, kMsgBoxFirstCheckId + static_cast<int>(i)) ==
                    BST_CHECKED;
            ::EndDialog(box, id - (kMsgBoxFirstButtonId - 1));
        } else if (notification == BN_SETFOCUS)
            FocusReported(box, state, id);
        return TRUE;
    }
    if (id == IDOK) {
        // Enter while no push button has the focus presses the button that had it last.
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(state.focusButtonId, BN_CLICKED), 0);
        return TRUE;
    }
    // Escape arrives as IDCANCEL: ignored, because every caller reads a result that no button
    // gave as "go on". The user answers with a button.
    return id == IDCANCEL;
}

INT_PTR OnCtlColor(const MsgBoxState& state, HDC dc) {
    const MsgBoxStyle& style = state.style;
    if (IsSystemDefault(style.textColour) && IsSystemDefault(style.backColour))
        return FALSE;  // the dialog manager's own colours
    ::SetTextColor(dc, IsSystemDefault(style.textColour) ? ::GetSysColor(COLOR_WINDOWTEXT)
                                                         : static_cast<COLORREF>(style.textColour));
    if (state.background) {
        ::SetBkColor(dc, static_cast<COLORREF>(style.backColour));
        return reinterpret_cast<INT_PTR>(state.background.get());
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_3DFACE));
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_3DFACE));
}

INT_PTR CALLBACK MsgBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog(box, *reinterpret_cast<MsgBoxState*>(lParam));
    auto* state = reinterpret_cast<MsgBoxState*>(::GetWindowLongPtrW(box, DWLP_USER));
    if (state == nullptr)
        return FALSE;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(box, *state, LOWORD(wParam), HIWORD(wParam));
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return OnCtlColor(*state, reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            return TRUE;  // the window system's close does not answer the question
        case WM_SYSCOMMAND:
            return (wParam & 0xFFF0) == SC_CLOSE;
        default:
            return FALSE;
    }
}

}  // namespace

int MyMsgBox(HWND owner, std::string_view text, std::string_view caption, int style,
             std::string_view buttons) {
    std::vector<MsgBoxCheck> none;
    return MyMsgBox(owner, text, caption, style, buttons, none);
}

int MyMsgBox(HWND owner, std::string_view text, std::string_view caption, int style,
             std::string_view buttons, std::vector<MsgBoxCheck>& checks) {
    ApplyMsgBoxStyleDefaults();
    ButtonCaptions& standard = CurrentButtonCaptions();
    FillEmptyButtonCaptions(standard);

    MsgBoxState state;
    state.style = CurrentMsgBoxStyle();
    state.text = ExpandLineBreaks(text);
    state.iconChoice = ChooseMsgBoxIcon(style);
    state.captions = SplitButtonList(ChooseButtonList(style, standard, buttons));
    state.checks = &checks;

    // A pop-up with a title and a modal frame but no system menu, hence no close button.
    const DialogTemplate frame(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0,
                               WidenAnsi(MsgBoxTitle(caption)), L"MS Sans Serif", 8);
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), frame.get(), owner, MsgBoxProc,
                                  reinterpret_cast<LPARAM>(&state));
    return result > 0 ? static_cast<int>(result) : 0;
}

void CenterOnOwner(HWND dialog) {
    HWND owner = OwnerOf(dialog);
    // The monitor that shows the owner (for a minimised owner, the one it comes back on), or
    // the primary monitor without one: a dialog is never pulled away from its owner's screen.
    const PixelRect work = WorkAreaNear(owner);
    PixelRect area{0, 0, work.width, work.height};
    POINT origin{work.x, work.y};
    // A minimised owner has no client area to speak of: centring on it would put the
    // dialog far off screen, where it would come back when the owner is restored.
    if (owner != nullptr && !::IsIconic(owner)) {
        RECT client{};
        ::GetClientRect(owner, &client);
        area = {0, 0, client.right - client.left, client.bottom - client.top};
        origin = {0, 0};
        ::ClientToScreen(owner, &origin);
    }
    RECT outer{};
    ::GetWindowRect(dialog, &outer);
    const PixelSize size{outer.right - outer.left, outer.bottom - outer.top};
    const PixelPoint at = CentredOrigin(area, size);
    PixelPoint onScreen{origin.x + at.x, origin.y + at.y};
    // Centred over a small owner near the screen's edge, a tall box would lose its title bar
    // or its buttons off the screen; it is moved back onto the work area.
    if (work.width > 0 && work.height > 0)
        onScreen = KeptOnWorkArea({onScreen.x, onScreen.y, size.width, size.height}, work);
    ::SetWindowPos(dialog, nullptr, onScreen.x, onScreen.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetProgramIcon(HWND dialog) {
    // Shared icons from the program's resources: the system keeps and frees them.
    HINSTANCE program = ::GetModuleHandleW(nullptr);
    HANDLE big =
        ::LoadImageW(program, kProgramIconName, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
    HANDLE small =
        ::LoadImageW(program, kProgramIconName, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (big != nullptr)
        ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small != nullptr)
        ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

}  // namespace quillon

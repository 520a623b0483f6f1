#include "settings/OutputFoldersDialog_win.h"

#include <vector>

#include "base/DialogItems_win.h"
#include "base/Handles_win.h"
#include "base/PixelGeometry.h"
#include "dialogs/DialogTemplate_win.h"
#include "dialogs/MyMsgBox_win.h"
#include "settings/OutputFoldersChoice.h"
#include "settings/Settings_win.h"

namespace quillon {
namespace {

constexpr wchar_t kTitle[] = L"Output folders";
constexpr wchar_t kFontFace[] = L"MS Sans Serif";
constexpr int kFontPoints = 8;
constexpr int kPointsPerInch = 72;
constexpr int kClientWidth = 280;
constexpr int kClientHeight = 222;
// "Save settings" reports a click with either of these codes.
constexpr int kClickedCode = 0;
constexpr int kSecondClickCode = 1;

enum class Kind { GroupBox, FirstOption, Option, PushButton };

struct Control {
    int id;
    Kind kind;
    const wchar_t* text;
    PixelRect at;
};

constexpr Control kControls[] = {
    {kZeroArgGroupId, Kind::GroupBox, L"Scripts without argument (0 input pic)", {8, 8, 264, 72}},
    {kZeroArgProgramFolderId,
     Kind::FirstOption,
     L"Create output pic in program folder",
     {24, 32, 232, 16}},
    {kZeroArgAskId, Kind::Option, L"Ask output folder at every creation", {24, 56, 232, 16}},
    {kArgGroupId, Kind::GroupBox, L"Scripts with 1 or more arguments", {8, 88, 264, 96}},
    {kArgFirstPictureFolderId,
     Kind::FirstOption,
     L"Create output in same folder as 1st input pic",
     {24, 112, 232, 16}},
    {kArgProgramFolderId, Kind::Option, L"Create output pic in program folder", {24, 136, 232, 16}},
    {kArgAskId, Kind::Option, L"Ask output folder at every creation", {24, 160, 232, 16}},
    {kSaveSettingsId, Kind::PushButton, L"Save settings", {66, 192, 144, 24}},
};

DWORD StyleOf(Kind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case Kind::GroupBox:
            return kChild | BS_GROUPBOX;
        case Kind::FirstOption:
            return kChild | BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP | BS_LEFT | BS_VCENTER;
        case Kind::Option:
            return kChild | BS_AUTORADIOBUTTON | WS_TABSTOP;
        case Kind::PushButton:
            break;
    }
    return kChild | WS_TABSTOP;
}

struct DialogState {
    OutputPolicy current;
    OutputPolicy kept;
    UniqueFont boldFont;  // outlives the dialog: deleted after it has closed
};

UniqueFont CreateBoldFont(HWND dialog) {
    WindowDc screen(dialog);
    LOGFONTW font{};
    font.lfHeight =
        -::MulDiv(kFontPoints, ::GetDeviceCaps(screen.get(), LOGPIXELSY), kPointsPerInch);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(font.lfFaceName, kFontFace, LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&font));
}

void BuildDialog(HWND dialog, DialogState& state) {
    SetClientSize(dialog, kClientWidth, kClientHeight);
    const HFONT regular = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    for (const Control& control : kControls) {
        HWND made =
            ::CreateWindowExW(0, L"BUTTON", control.text, StyleOf(control.kind), control.at.x,
                              control.at.y, control.at.width, control.at.height, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                              ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(regular), FALSE);
    }
    const SelectedOptions selected = OptionsForPolicy(state.current);
    if (selected.zeroArgOption != 0)
        ::CheckRadioButton(dialog, kZeroArgProgramFolderId, kZeroArgAskId, selected.zeroArgOption);
    if (selected.argOption != 0)
        ::CheckRadioButton(dialog, kArgFirstPictureFolderId, kArgAskId, selected.argOption);
    state.boldFont = CreateBoldFont(dialog);
    for (const int group : {kZeroArgGroupId, kArgGroupId}) {
        ::SendDlgItemMessageW(dialog, group, WM_SETFONT,
                              reinterpret_cast<WPARAM>(state.boldFont.get()), FALSE);
    }
    SetProgramIcon(dialog);
    ScaleLaidOutWindow(dialog);
    CenterOnOwner(dialog);
}

void SaveChoice(HWND dialog, DialogState& state) {
    std::vector<int> checked;
    for (const Control& control : kControls) {
        if (::IsDlgButtonChecked(dialog, control.id) == BST_CHECKED)
            checked.push_back(control.id);
    }
    state.kept = PolicyForCheckedOptions(checked);
    SaveSettings(state.kept);
    ::EndDialog(dialog, 0);
}

INT_PTR CALLBACK OutputFoldersProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        BuildDialog(dialog, *state);
        ShowFocusMarks(dialog);
        return TRUE;  // the dialog manager puts the focus on the first control
    }
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_COMMAND || state == nullptr)
        return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == kSaveSettingsId && (code == kClickedCode || code == kSecondClickCode)) {
        SaveChoice(dialog, *state);
        return TRUE;
    }
    if (id == IDCANCEL) {
        // The close button and Escape: the choices made are dropped, nothing is saved.
        ::EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

OutputPolicy ShowOutputFoldersDialog(HWND owner, const OutputPolicy& current) {
    DialogState state;
    state.current = current;
    state.kept = current;
    const DialogTemplate frame(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, kTitle,
                               kFontFace, kFontPoints);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), frame.get(), owner, OutputFoldersProc,
                              reinterpret_cast<LPARAM>(&state));
    return state.kept;
}

}  // namespace quillon

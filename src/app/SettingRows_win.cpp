#include "app/SettingRows_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/MainWindowLayout.h"
#include "app/SettingRows.h"
#include "base/AnsiText_win.h"
#include "base/DialogItems_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/ProgramFolder_win.h"
#include "base/Text.h"
#include "dialogs/DialogTemplate_win.h"
#include "settings/WindowPosition_win.h"
#include "base/WorkArea_win.h"

namespace quillon {

namespace {

// The settings the rows show, in row order.
std::vector<SettingDeclaration>& Shown() {
    static std::vector<SettingDeclaration> shown;
    return shown;
}

// The script file the rows belong to, as the kept values name it.
std::string& ShownScript() {
    static std::string script;
    return script;
}

std::string KeptValuesPath() {
    const std::string folder = LocalAppDataFolder();
    return folder.empty() ? "" : folder + "\\Quillon script values.txt";
}

KeptValues LoadKeptValues() {
    const std::string path = KeptValuesPath();
    return path.empty() || !FileExists(path)
               ? KeptValues{}
               : ReadKeptValues(ReadFileBytes(path, kLongestKeptValues));
}

void StoreKeptValues(const std::string& script, const NamedValues& values) {
    const std::string path = KeptValuesPath();
    if (path.empty() || script.empty())
        return;
    KeptValues kept = LoadKeptValues();
    const auto found = kept.find(script);
    if (values.empty() ? found == kept.end() : found != kept.end() && found->second == values)
        return;
    if (values.empty())
        kept.erase(found);
    else
        kept[script] = values;
    WriteWholeFile(path, KeptValuesText(kept));
}

// Set while the rows write into their own controls, so that the echo is not taken for typing.
bool& Writing() {
    static bool writing = false;
    return writing;
}

HMENU IdAsMenu(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

PixelSize ClientOf(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

struct PartClass {
    const wchar_t* name;
    DWORD style;
    DWORD extendedStyle;
};

PartClass ClassOf(SettingType type, SettingPart part) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    constexpr DWORD kStop = kChild | WS_TABSTOP;
    switch (part) {
        case SettingPart::Label:
        case SettingPart::SecondLabel:
        case SettingPart::Unit:
            return {L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0};
        case SettingPart::Second:
            return {L"EDIT", kStop | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case SettingPart::Main:
            break;
    }
    switch (type) {
        case SettingType::kNumber:
            return {TRACKBAR_CLASSW, kStop | TBS_HORZ | TBS_NOTICKS, 0};
        case SettingType::kChoice:
            return {L"COMBOBOX", kStop | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case SettingType::kColour:
            return {L"BUTTON", kStop | BS_OWNERDRAW, 0};
        case SettingType::kSwitch:
            return {L"BUTTON", kStop | BS_AUTOCHECKBOX, 0};
        case SettingType::kText:
            break;
    }
    return {L"EDIT", kStop | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
}

constexpr SettingPart kParts[] = {SettingPart::Label, SettingPart::Main, SettingPart::SecondLabel,
                                  SettingPart::Second, SettingPart::Unit};

// The row a control id belongs to and which part of it the control is; nothing for ids that
// are not the rows'.
std::optional<std::pair<std::size_t, SettingPart>> PartOf(int id) {
    if (id < kSettingIdBase)
        return std::nullopt;
    const auto row = static_cast<std::size_t>((id - kSettingIdBase) / kSettingIdsPerRow);
    if (row >= Shown().size())
        return std::nullopt;
    return std::make_pair(row, static_cast<SettingPart>((id - kSettingIdBase) % kSettingIdsPerRow));
}

bool HasPart(SettingType type, SettingPart part) {
    // Every row has a label and its control; numbers and colours a second control, which a
    // second label names, and numbers their unit.
    switch (part) {
        case SettingPart::Label:
        case SettingPart::Main:
            return true;
        case SettingPart::SecondLabel:
        case SettingPart::Second:
            return type == SettingType::kNumber || type == SettingType::kColour;
        case SettingPart::Unit:
            return type == SettingType::kNumber;
    }
    return false;
}

std::string PartText(const SettingDeclaration& setting, SettingPart part) {
    // A button is named by its own text, not by the label before it: the colour button draws
    // none, and the check box is too narrow to show it beside the label.
    const bool button =
        setting.type == SettingType::kColour || setting.type == SettingType::kSwitch;
    switch (part) {
        case SettingPart::Main:
            return button ? setting.label : std::string();
        case SettingPart::Label:
        case SettingPart::SecondLabel:
            return setting.label;
        case SettingPart::Unit:
            return setting.unit;
        default:
            return {};
    }
}

COLORREF ColourOf(const std::string& text) {
    SettingDeclaration colourSetting;
    colourSetting.type = SettingType::kColour;
    const CheckedValue colour = CheckSettingValue(colourSetting, text);
    if (!colour.ok)
        return RGB(0, 0, 0);
    const unsigned long rgb = std::strtoul(colour.value.c_str() + 1, nullptr, 16);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::string ColourText(COLORREF colour) {
    char text[8];
    std::snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

// Shows value in row's controls.
void ShowValue(HWND window, std::size_t row, const std::string& value) {
    const SettingDeclaration& setting = Shown()[row];
    HWND main = ::GetDlgItem(window, SettingControlId(row, SettingPart::Main));
    Writing() = true;
    switch (setting.type) {
        case SettingType::kNumber:
            ::SendMessageW(main, TBM_SETPOS, TRUE, NumberPosition(setting, value));
            SetItemText(window, SettingControlId(row, SettingPart::Second), value);
            break;
        case SettingType::kChoice: {
            const auto found = std::find(setting.choices.begin(), setting.choices.end(), value);
            ::SendMessageW(main, CB_SETCURSEL,
                           static_cast<WPARAM>(found == setting.choices.end()
                                                   ? 0
                                                   : found - setting.choices.begin()),
                           0);
            break;
        }
        case SettingType::kColour:
            SetItemText(window, SettingControlId(row, SettingPart::Second), value);
            ::InvalidateRect(main, nullptr, TRUE);
            break;
        case SettingType::kSwitch:
            ::SendMessageW(main, BM_SETCHECK, value == "on" ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case SettingType::kText:
            SetItemText(window, SettingControlId(row, SettingPart::Main), value);
            break;
    }
    Writing() = false;
}

void AddRow(HWND window, std::size_t row, HFONT font, const NamedValues& kept) {
    const SettingDeclaration& setting = Shown()[row];
    for (SettingPart part : kParts) {
        if (!HasPart(setting.type, part))
            continue;
        const PartClass kind = ClassOf(setting.type, part);
        HWND control = ::CreateWindowExW(kind.extendedStyle, kind.name,
                                         WidenAnsi(PartText(setting, part)).c_str(), kind.style, 0,
                                         0, 0, 0, window, IdAsMenu(SettingControlId(row, part)),
                                         ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (part != SettingPart::Main)
            continue;
        if (setting.type == SettingType::kNumber) {
            ::SendMessageW(control, TBM_SETRANGEMIN, FALSE, 0);
            ::SendMessageW(control, TBM_SETRANGEMAX, FALSE, NumberPositions(setting));
        } else if (setting.type == SettingType::kChoice) {
            for (const std::string& choice : setting.choices)
                ::SendMessageW(control, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(WidenAnsi(choice).c_str()));
        } else if (setting.type == SettingType::kText) {
            ::SendMessageW(control, EM_SETLIMITTEXT, setting.maxLength, 0);
        }
    }
    ShowValue(window, row, ShownValue(setting, kept));
}

void RemoveRows(HWND window) {
    if (!Shown().empty())
        StoreKeptValues(ShownScript(), ValuesToKeep(Shown(), SettingRowValues(window)));
    for (std::size_t row = 0; row < Shown().size(); ++row) {
        for (SettingPart part : kParts) {
            if (HWND control = ::GetDlgItem(window, SettingControlId(row, part)))
                ::DestroyWindow(control);
        }
    }
    if (HWND reset = ::GetDlgItem(window, kSettingResetId))
        ::DestroyWindow(reset);
    Shown().clear();
    ShownScript().clear();
}

void ResetRows(HWND window) {
    for (std::size_t row = 0; row < Shown().size(); ++row)
        ShowValue(window, row, Shown()[row].defaultValue);
    StoreKeptValues(ShownScript(), {});
}

void ChooseColour(HWND window, std::size_t row) {
    const int editId = SettingControlId(row, SettingPart::Second);
    static COLORREF custom[16] = {};
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = window;
    choice.rgbResult = ColourOf(ItemText(window, editId));
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&choice))
        ShowValue(window, row, ColourText(choice.rgbResult));
}

void ShowRows(HWND window, const std::vector<SettingDeclaration>& settings,
              const std::string& script) {
    static const bool barsReady = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)barsReady;
    const int before = SettingRowsScaledHeight(window);
    RemoveRows(window);
    Shown().assign(settings.begin(), settings.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                            settings.size(), kMostSettings)));
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ShownScript() = script;
    const KeptValues kept = Shown().empty() ? KeptValues{} : LoadKeptValues();
    const auto found = kept.find(script);
    const NamedValues none;
    for (std::size_t row = 0; row < Shown().size(); ++row)
        AddRow(window, row, font, found == kept.end() ? none : found->second);
    if (!Shown().empty()) {
        HWND reset = ::CreateWindowExW(
            0, L"BUTTON", L"Reset", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
            window, IdAsMenu(kSettingResetId), ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(reset, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    const int after = SettingRowsScaledHeight(window);
    if (after != before && !::IsZoomed(window)) {
        const PixelSize client = ClientOf(window);
        SetClientSize(window, client.width, std::max(0, client.height - before + after));
    }
    PlaceSettingRows(window);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

void ShowScriptSettings(HWND window, const ScriptEntry& script) {
    // One user's values for one script file, wherever its folder was reached from.
    ShowRows(window, script.settings, AsciiLowered(ProgramFolder() + TrimBlanks(script.fileName)));
}

void HideSettingRows(HWND window) {
    ShowRows(window, {}, "");
}

void ForgetSettingRows(HWND window) {
    RemoveRows(window);
}

int SettingRowsScaledHeight(HWND window) {
    return ScaledLength(SettingRowsHeight(Shown().size()), DpiOfWindow(window));
}

void PlaceSettingRows(HWND window) {
    const int dpi = DpiOfWindow(window);
    const PixelSize client = ClientOf(window);
    for (std::size_t row = 0; row < Shown().size(); ++row) {
        for (SettingPart part : kParts) {
            HWND control = ::GetDlgItem(window, SettingControlId(row, part));
            if (control == nullptr)
                continue;
            const PixelRect rect =
                SettingPartRect(Shown()[row].type, row, Shown().size(), part, dpi, client);
            ::SetWindowPos(control, nullptr, rect.x, rect.y, rect.width, rect.height, kQuietMove);
        }
    }
    if (HWND reset = ::GetDlgItem(window, kSettingResetId)) {
        const PixelRect rect = SettingResetRect(dpi, client);
        ::SetWindowPos(reset, nullptr, rect.x, rect.y, rect.width, rect.height, kQuietMove);
    }
}

void SetSettingRowsFont(HWND window, HFONT font) {
    for (std::size_t row = 0; row < Shown().size(); ++row) {
        for (SettingPart part : kParts)
            ::SendDlgItemMessageW(window, SettingControlId(row, part), WM_SETFONT,
                                  reinterpret_cast<WPARAM>(font), TRUE);
    }
    ::SendDlgItemMessageW(window, kSettingResetId, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                          TRUE);
}

std::vector<std::pair<std::string, std::string>> SettingRowValues(HWND window) {
    std::vector<std::pair<std::string, std::string>> values;
    for (std::size_t row = 0; row < Shown().size(); ++row) {
        const SettingDeclaration& setting = Shown()[row];
        const int main = SettingControlId(row, SettingPart::Main);
        std::string value;
        switch (setting.type) {
            case SettingType::kNumber:
            case SettingType::kColour:
                value = ItemText(window, SettingControlId(row, SettingPart::Second));
                break;
            case SettingType::kChoice: {
                const LRESULT chosen = ::SendDlgItemMessageW(window, main, CB_GETCURSEL, 0, 0);
                value = chosen >= 0 && static_cast<std::size_t>(chosen) < setting.choices.size()
                            ? setting.choices[static_cast<std::size_t>(chosen)]
                            : setting.defaultValue;
                break;
            }
            case SettingType::kSwitch:
                value = ::IsDlgButtonChecked(window, main) == BST_CHECKED ? "on" : "off";
                break;
            case SettingType::kText:
                value = ItemText(window, main);
                break;
        }
        values.emplace_back(setting.name, value);
    }
    return values;
}

bool OnSettingRowCommand(HWND window, int id, int code) {
    if (id == kSettingResetId) {
        if (code == BN_CLICKED)
            ResetRows(window);
        return true;
    }
    const auto part = PartOf(id);
    if (!part)
        return false;
    const auto [row, which] = *part;
    const SettingDeclaration& setting = Shown()[row];
    if (setting.type == SettingType::kColour && which == SettingPart::Main && code == BN_CLICKED) {
        ChooseColour(window, row);
    } else if (which == SettingPart::Second && code == EN_CHANGE && !Writing()) {
        // A number typed follows on the slider, a colour on its button, once it is whole.
        const std::string typed = ItemText(window, id);
        if (!CheckSettingValue(setting, typed).ok)
            return true;
        HWND main = ::GetDlgItem(window, SettingControlId(row, SettingPart::Main));
        if (setting.type == SettingType::kNumber)
            ::SendMessageW(main, TBM_SETPOS, TRUE, NumberPosition(setting, typed));
        else
            ::InvalidateRect(main, nullptr, TRUE);
    }
    return true;
}

bool OnSettingRowScroll(HWND window, HWND control) {
    const auto part = PartOf(::GetDlgCtrlID(control));
    if (!part || part->second != SettingPart::Main)
        return false;
    const SettingDeclaration& setting = Shown()[part->first];
    const auto position = static_cast<int>(::SendMessageW(control, TBM_GETPOS, 0, 0));
    Writing() = true;
    SetItemText(window, SettingControlId(part->first, SettingPart::Second),
                NumberAtPosition(setting, position));
    Writing() = false;
    return true;
}

bool OnSettingRowDraw(const DRAWITEMSTRUCT* item) {
    const auto part = PartOf(static_cast<int>(item->CtlID));
    if (!part || part->second != SettingPart::Main)
        return false;
    HWND window = ::GetParent(item->hwndItem);
    RECT face = item->rcItem;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    ::DrawFrameControl(item->hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    ::InflateRect(&face, -4, -4);
    UniqueBrush swatch(::CreateSolidBrush(
        ColourOf(ItemText(window, SettingControlId(part->first, SettingPart::Second)))));
    ::FillRect(item->hDC, &face, swatch.get());
    if ((item->itemState & ODS_FOCUS) != 0) {
        ::InflateRect(&face, 2, 2);
        ::DrawFocusRect(item->hDC, &face);
    }
    return true;
}

}  // namespace quillon

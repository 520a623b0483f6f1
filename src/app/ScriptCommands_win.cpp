#include "app/ScriptCommands_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/ImageMagickCheck.h"
#include "app/LivePreview_win.h"
#include "app/MainWindowLayout.h"
#include "app/RunOutcome.h"
#include "app/SetRun_win.h"
#include "app/SettingRows_win.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Files_win.h"
#include "base/Text.h"
#include "catalogue/ScriptFolderAccess.h"
#include "catalogue/ValidationLog_win.h"
#include "dialogs/MsgBoxContent.h"
#include "dialogs/MyMsgBox_win.h"
#include "execution/ExecuteScript_win.h"
#include "execution/ShellHelpers_win.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotLayout.h"
#include "pictures/SlotSet_win.h"

namespace quillon {

namespace {

constexpr char kCaption[] = "Quillon";
constexpr char kInvalidAfterEditText[] =
    "Script is invalid! It has been removed from the drop-down list.\r"
    "Please fix the script and re-launch the program.";
constexpr const char* kWizardPicture = "WIZ";
constexpr const char* kBallsPicture = "BAL";

std::vector<BatchPicture> SlotPictures(int argCount) {
    std::vector<BatchPicture> pictures;
    for (int i = 1; i <= argCount && i <= kSlotCount; ++i) {
        const InputSlot& slot = InputSlots()[static_cast<std::size_t>(i)];
        pictures.push_back({TrimBlanks(slot.path), slot.width, slot.height});
    }
    return pictures;
}

void ShowProducedPicture(HWND window, const std::string& path) {
    InputSlot& preview = InputSlots()[0];
    // Only the fitted preview is ever drawn: a large result need not stay decoded whole, and
    // a reduced copy of a type GDI+ cannot read has served once it is decoded.
    HWND area = ::GetDlgItem(window, kOutputPictureId);
    AreaPicture loaded = LoadPictureForArea(path, PictureAreaSize(area));
    if (!loaded.reducedCopy.empty())
        DeleteFileAnsi(loaded.reducedCopy);
    SetSpokenText(area, OutputSpokenText(loaded.preview ? path : std::string(), loaded.size.width,
                                         loaded.size.height));
    preview.picture =
        loaded.preview ? std::make_unique<SlotPicture>(std::move(loaded.preview)) : nullptr;
    DrawPictureFitted(window, SlotImage(preview), kOutputPictureId);
}

int SelectedListIndex(HWND window) {
    return static_cast<int>(::SendDlgItemMessageW(window, kScriptListId, CB_GETCURSEL, 0, 0));
}

}  // namespace

// With redrawing off the list neither repaints nor recomputes its scroll bar for each item
// (under Wine that is a round trip to its server per item), and its storage is reserved
// once: a folder of a thousand scripts fills the list in one go.
void FillScriptList(HWND list, const std::vector<std::string>& items) {
    std::vector<std::wstring> texts;
    texts.reserve(items.size());
    std::size_t characters = 0;
    for (const std::string& item : items) {
        texts.push_back(WidenUserText(item));
        characters += texts.back().size() + 1;
    }
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, CB_INITSTORAGE, texts.size(), characters * sizeof(wchar_t));
    for (const std::wstring& text : texts)
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void ReplaceListItem(HWND window, int position, const std::string& text) {
    HWND list = ::GetDlgItem(window, kScriptListId);
    const WPARAM index = static_cast<WPARAM>(position - 1);
    ::SendMessageW(list, CB_DELETESTRING, index, 0);
    ::SendMessageW(list, CB_INSERTSTRING, index,
                   reinterpret_cast<LPARAM>(WidenUserText(text).c_str()));
    ::SendMessageW(list, CB_SETCURSEL, index, 0);
}

void OnEditScript(HWND window) {
    AppState& app = App();
    if (app.busy || !ChosenArgCount()) {
        RefusalBeep();
        return;
    }
    BusyScope busy;
    // The list stays usable while the editor is open: the script edited is the one validated
    // again, whatever the user has selected by then.
    const int position = app.currentScript;
    app.validationLog += "User launched editing of script #" + std::to_string(position) + "...\r\n";
    UniqueHandle editor = ShellRun(
        ProgramFolder() + TrimBlanks(app.catalogue.At(position).fileName), "edit", SW_SHOWNORMAL);
    WaitForProcess(editor);
    if (!app.catalogue.Contains(position))
        return;

    const bool stillSelected = SelectedListIndex(window) == position - 1;
    const int countBefore = app.catalogue.At(position).argCount;
    const std::vector<std::string> settingsBefore = app.catalogue.At(position).settingLines;
    const std::uint8_t count = ValidateScript(app.catalogue, app.validationLog,
                                              OpenScriptFolder(ProgramFolder()), position);
    if (count == kInvalidScript) {
        RemoveScript(window, position);
        MyMsgBox(window, kInvalidAfterEditText, kCaption, kMbIconError, "");
        return;
    }
    SetOutputStatus(window, kScriptUpdatedText);
    const int selected = SelectedListIndex(window);
    ReplaceListItem(window, position, TrimBlanks(app.catalogue.At(position).displayName));
    if (!stillSelected) {
        ::SendDlgItemMessageW(window, kScriptListId, CB_SETCURSEL, static_cast<WPARAM>(selected),
                              0);
    } else if (count != countBefore) {
        LayoutSlots(window, count);
    }
    if (stillSelected && app.catalogue.At(position).settingLines != settingsBefore)
        ShowScriptSettings(window, app.catalogue.At(position));
    PreviewSoon(window);  // the script's words may have changed
}

namespace {

// One run of the slots' pictures, as Execute has always made it; true when this run made
// its output (an older file of that name does not count).
bool RunSlotPictures(HWND window, int argCount) {
    AppState& app = App();
    const ScriptEntry entry = app.catalogue.At(app.currentScript);
    ScriptRun run;
    run.body = entry.body;
    run.eraseTemp = entry.eraseTemp == 1;
    const SettingValues values = SettingValuesFor(entry.settings, SettingRowValues(window));
    if (!values.problem.empty()) {
        MyMsgBox(window, values.problem, kCaption, kMbIconError, "");
        app.lastOutput.clear();
        return false;
    }
    run.settings = values.values;
    run.pictures = SlotPictures(argCount);
    run.programFolder = ProgramFolder();
    run.beforeRun = [] { InputSlots()[0].picture.reset(); };
    const std::optional<std::string> folder = ChooseOutputFolder(window, app.outputPolicy, run);
    if (!folder) {
        app.lastOutput.clear();
        return false;
    }
    run.outputFolder = *folder;
    const RunResult result = ExecuteScript(window, run);
    app.lastOutput = result.outputFile;
    return result.outputMade;
}

}  // namespace

void OnExecute(HWND window) {
    AppState& app = App();
    const std::optional<int> argCount = ChosenArgCount();
    if (app.busy || !argCount || !AllInputsFilled(InputSlots(), *argCount)) {
        RefusalBeep();
        return;
    }
    BusyScope busy;
    SetLivePreviewAside(window);
    bool made = false;
    if (SlotOneSet().size() > 1) {
        const std::optional<std::string> last = RunSlotOneSet(window);
        if (!last)
            return;
        app.lastOutput = *last;
        made = FileExists(app.lastOutput);
    } else {
        made = RunSlotPictures(window, *argCount);
    }
    if (!::IsWindowVisible(window))
        return;  // closed while the script ran

    switch (JudgeOutput(app.lastOutput, made)) {
        case OutputShow::kNoOutputFile:
            SetOutputStatus(window, kNoOutputFileText);
            break;
        case OutputShow::kUnchanged:
            break;
        case OutputShow::kPicture:
            ShowProducedPicture(window, app.lastOutput);
            SetOutputStatus(window, CreatedText(app.lastOutput), app.lastOutput);
            break;
    }
}

void OnShowOutputFile(HWND window) {
    const std::string& produced = InputSlots()[0].path;
    if (produced.empty())
        return;  // the status line names no file as created
    const std::wstring parameters = WidenAnsi("/select,\"" + produced + "\"");
    ::ShellExecuteW(window, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void ShowValidationLog() {
    // Nobody waits for this editor: the handle is let go at once.
    ShellRun(WriteValidationLog(ProgramFolder(), App().validationLog), "edit", SW_SHOWNORMAL);
}

void RemoveScript(HWND window, int position) {
    AppState& app = App();
    HWND list = ::GetDlgItem(window, kScriptListId);
    const int selected = SelectedListIndex(window);
    ::SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(position - 1), 0);
    RemoveCatalogueEntry(app.catalogue, position);
    if (position != app.currentScript) {
        // The chosen script and the user's selection stay, one up when they lay below.
        app.currentScript -= app.currentScript > position ? 1 : 0;
        ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected - (selected >= position)),
                       0);
        return;
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    app.currentScript = 0;
    LayoutSlots(window, 1);
    ShowNoScript(window);
    ::DragAcceptFiles(window, FALSE);
}

void DrawPicturesAgain(HWND window) {
    if (App().currentScript != 0) {
        DrawPictureFitted(window, SlotImage(InputSlots()[0]), kOutputPictureId);
        return;
    }
    ShowResourcePicture(window, kFirstSlotId, kWizardPicture);
    ShowResourcePicture(window, kOutputPictureId, kBallsPicture);
    if (!App().imageMagickVersion.empty())
        DrawCornerCaption(window, kFoundImageMagickCaption + App().imageMagickVersion);
}

void ShowNoScript(HWND window) {
    ShowResourcePicture(window, kFirstSlotId, kWizardPicture);
    ShowResourcePicture(window, kOutputPictureId, kBallsPicture);
    SetItemText(window, kInputStatusId, kSelectScriptText);
    SetOutputStatus(window, kPopupMenuHintText);
    EnableItem(window, kEditScriptButtonId, false);
    EnableItem(window, kExecuteButtonId, false);
    HideSettingRows(window);
}

}  // namespace quillon

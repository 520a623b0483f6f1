#include "app/ScriptCommands_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/MainWindowLayout.h"
#include "app/RunOutcome.h"
#include "app/SetRun_win.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Text.h"
#include "catalogue/ScriptFolderAccess.h"
#include "catalogue/ValidationLog_win.h"
#include "dialogs/MyMsgBox_win.h"
#include "execution/ExecuteScript_win.h"
#include "execution/ShellHelpers_win.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotSet_win.h"
#include "settings/Settings_win.h"

namespace quillon {

namespace {

constexpr char kCaption[] = "Quillon";
constexpr int kErrorStyle = 16;
constexpr char kInvalidAfterEditText[] =
    "Script is invalid! It has been removed from the drop-down list.\r"
    "Please fix the script and re-launch the program.";
constexpr const char* kWizardPicture = "WIZ";
constexpr const char* kBallsPicture = "BAL";
constexpr int kFirstSlotId = kSlotIdBase + 1;

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
    PictureOwner picture = LoadPictureFile(path);
    // Only the fitted preview is ever drawn: a large result need not stay decoded whole.
    if (picture) {
        HWND area = ::GetDlgItem(window, kOutputPictureId);
        if (PictureOwner fitted = MakeFittedPreview(picture.get(), PictureAreaSize(area)))
            picture = std::move(fitted);
    }
    preview.picture = picture ? std::make_unique<SlotPicture>(std::move(picture)) : nullptr;
    DrawPictureFitted(window, SlotImage(preview), kOutputPictureId);
}

}  // namespace

void ReplaceListItem(HWND window, int position, const std::string& text) {
    HWND list = ::GetDlgItem(window, kScriptListId);
    const WPARAM index = static_cast<WPARAM>(position - 1);
    ::SendMessageW(list, CB_DELETESTRING, index, 0);
    ::SendMessageW(list, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(WidenAnsi(text).c_str()));
    ::SendMessageW(list, CB_SETCURSEL, index, 0);
}

void OnEditScript(HWND window) {
    AppState& app = App();
    if (app.busy || !ChosenArgCount()) {
        RefusalBeep();
        return;
    }
    BusyScope busy;
    app.validationLog +=
        "User launched editing of script #" + std::to_string(app.currentScript) + "...\r\n";
    HANDLE editor =
        ShellRun(ProgramFolder() + TrimBlanks(app.catalogue.At(app.currentScript).fileName), "edit",
                 SW_SHOWNORMAL);
    WaitForProcess(editor);

    // The list stays usable during the wait: what is selected now is what gets validated.
    const int position = app.currentScript;
    if (!app.catalogue.Contains(position) || position == 0)
        return;
    const int countBefore = app.catalogue.At(position).argCount;
    const std::uint8_t count = ValidateScript(app.catalogue, app.validationLog,
                                              OpenScriptFolder(ProgramFolder()), position);
    if (count == kInvalidScript) {
        RemoveCurrentScript(window);
        MyMsgBox(window, kInvalidAfterEditText, kCaption, kErrorStyle, "");
        return;
    }
    SetItemText(window, kOutputStatusId, kScriptUpdatedText);
    ReplaceListItem(window, position, TrimBlanks(app.catalogue.At(position).displayName));
    if (count != countBefore)
        LayoutSlots(window, count);
}

namespace {

// One run of the slots' pictures, as Execute has always made it.
void RunSlotPictures(HWND window, int argCount) {
    AppState& app = App();
    const ScriptEntry entry = app.catalogue.At(app.currentScript);
    ScriptRun run;
    run.body = entry.body;
    run.eraseTemp = entry.eraseTemp == 1;
    run.pictures = SlotPictures(argCount);
    run.programFolder = ProgramFolder();
    run.beforeRun = [] { InputSlots()[0].picture.reset(); };
    const std::optional<std::string> folder = ChooseOutputFolder(
        window, argCount, app.outputPolicy.zeroArgPolicy, app.outputPolicy.argPolicy,
        ProgramFolder(), run.pictures.empty() ? std::string() : run.pictures.front().path);
    if (folder) {
        run.outputFolder = *folder;
        app.lastOutput = ExecuteScript(window, run);
    } else {
        app.lastOutput.clear();
    }
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
    if (SlotOneSet().size() > 1) {
        const std::optional<std::string> last = RunSlotOneSet(window);
        if (!last)
            return;
        app.lastOutput = *last;
    } else {
        RunSlotPictures(window, *argCount);
    }
    if (!::IsWindowVisible(window))
        return;  // closed while the script ran

    switch (JudgeOutput(app.lastOutput, FileExists(app.lastOutput))) {
        case OutputShow::kNoOutputFile:
            SetItemText(window, kOutputStatusId, kNoOutputFileText);
            break;
        case OutputShow::kUnchanged:
            break;
        case OutputShow::kPicture:
            ShowProducedPicture(window, app.lastOutput);
            SetItemText(window, kOutputStatusId, CreatedText(app.lastOutput));
            break;
    }
}

void OnShowOutputFile(HWND window) {
    if (ItemText(window, kOutputStatusId).find(kCreatedSuffix) == std::string::npos)
        return;
    const std::wstring parameters = WidenAnsi("/select,\"" + App().lastOutput + "\"");
    ::ShellExecuteW(window, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void ShowValidationLog() {
    HANDLE editor =
        ShellRun(WriteValidationLog(ProgramFolder(), App().validationLog), "edit", SW_SHOWNORMAL);
    ReleaseProcess(editor);  // nobody waits for this editor
}

void RemoveCurrentScript(HWND window) {
    AppState& app = App();
    HWND list = ::GetDlgItem(window, kScriptListId);
    ::SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(app.currentScript - 1), 0);
    RemoveCatalogueEntry(app.catalogue, app.currentScript);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    app.currentScript = 0;
    LayoutSlots(window, 1);
    ShowResourcePicture(window, kFirstSlotId, kWizardPicture);
    ShowResourcePicture(window, kOutputPictureId, kBallsPicture);
    ::DragAcceptFiles(window, FALSE);
    SetItemText(window, kInputStatusId, kSelectScriptText);
    SetItemText(window, kOutputStatusId, kPopupMenuHintText);
    EnableItem(window, kEditScriptButtonId, false);
    EnableItem(window, kExecuteButtonId, false);
}

}  // namespace quillon

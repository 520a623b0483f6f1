#include "app/NewScript_win.h"

#include <cstring>
#include <optional>
#include <string>

#include "app/AppState_win.h"
#include "app/ScriptCommands_win.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Files_win.h"
#include "base/Feedback_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "catalogue/NewScript.h"
#include "catalogue/ScriptFolderAccess.h"
#include "dialogs/MsgBoxContent.h"
#include "dialogs/MyMsgBox_win.h"
#include "dialogs/SaveDialog_win.h"
#include "execution/ShellHelpers_win.h"
#include "pictures/InputSlots_win.h"

namespace quillon {

namespace {

constexpr wchar_t kSaveTitle[] = L"Save new script under...";
// One file type; the literal's own terminator ends the list with a second null.
constexpr wchar_t kSaveFilter[] = L"eXtensible Markup Language\0*.xml\0";
constexpr wchar_t kSuggestedName[] = L"NewScript";
constexpr wchar_t kDefaultExtension[] = L"xml";

constexpr char kCaption[] = "Quillon";
constexpr int kQuestionStyle = kMbYesNoCancel | kMbIconQuestion;
constexpr int kAnswerYes = 1;
constexpr int kAnswerNo = 2;
constexpr int kAnswerCancel = 3;
constexpr char kReplaceQuestion[] = "This file already exists.\rReplace it?";
constexpr char kCreatingLogLine[] =
    "Creating new empty valid script and opening it for user edit...\r\n";
constexpr char kInvalidNewScriptText[] = "Script is invalid...\rCreation aborted";
constexpr char kProducedText[] = "Script produced correctly";

// The path the user saves the new script under; nothing when the dialog is cancelled or
// the name has no exact form in the program's code page.
std::optional<std::string> AskScriptPath(HWND owner, const std::string& programFolder) {
    const std::optional<std::wstring> file = AskSavePath(
        owner,
        {kSaveTitle, kSuggestedName, kSaveFilter, kDefaultExtension, WidenAnsi(programFolder)});
    if (!file)
        return std::nullopt;
    std::optional<std::string> chosen = NarrowToAnsi(*file);
    if (!chosen)
        RefusalBeep();  // a name the code page cannot hold would become another file
    return chosen;
}

// Steps through the save dialog and the two questions until the user settles on a path.
std::optional<std::string> ChooseNewScriptPath(HWND window, const std::string& programFolder) {
    for (;;) {
        std::optional<std::string> path = AskScriptPath(window, programFolder);
        if (!path)
            return std::nullopt;
        if (!LiesInFolder(*path, programFolder)) {
            const std::string name(FileNameOf(*path));
            const int answer = MyMsgBox(window, MoveToProgramFolderQuestion(programFolder, name),
                                        kCaption, kQuestionStyle, "");
            if (answer == kAnswerNo)
                continue;
            if (answer == kAnswerCancel)
                return std::nullopt;
            if (answer == kAnswerYes)
                path = programFolder + name;
        }
        if (FileExists(*path)) {
            const int answer = MyMsgBox(window, kReplaceQuestion, kCaption, kQuestionStyle, "");
            if (answer == kAnswerNo)
                continue;
            if (answer == kAnswerCancel)
                return std::nullopt;
        }
        return path;
    }
}

// Writes the template in full; false when the file could not be created or written. A file
// that cannot be opened for writing is left as it was.
bool WriteTemplate(const std::string& path) {
    UniqueHandle file(::CreateFileW(WidenAnsi(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const DWORD size = static_cast<DWORD>(std::strlen(kNewScriptTemplate));
    DWORD written = 0;
    return ::WriteFile(file.get(), kNewScriptTemplate, size, &written, nullptr) && written == size;
}

// Lists the new entry as the selected item: appended, or in place of the file's own item.
void ListNewScript(HWND window, const NewScriptPlace& place) {
    if (!place.newItem) {
        ReplaceListItem(window, place.position, kNewScriptDisplayName);
        return;
    }
    HWND list = ::GetDlgItem(window, kScriptListId);
    ::SendMessageW(list, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(WidenAnsi(kNewScriptDisplayName).c_str()));
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(place.position - 1), 0);
}

}  // namespace

void CreateNewScript(HWND window) {
    AppState& app = App();
    if (app.busy) {
        RefusalBeep();
        return;
    }
    BusyScope busy;
    const std::string programFolder = ProgramFolder();
    const std::optional<std::string> path = ChooseNewScriptPath(window, programFolder);
    if (!path)
        return;
    app.validationLog += kCreatingLogLine;
    if (!WriteTemplate(*path)) {
        MyMsgBox(window, UnwritableScriptText(*path), kCaption, kMbIconError, "");
        return;
    }

    const int listItems =
        static_cast<int>(::SendDlgItemMessageW(window, kScriptListId, CB_GETCOUNT, 0, 0));
    const NewScriptPlace place =
        PlaceNewScript(app.catalogue, listItems, std::string(FileNameOf(*path)));
    app.currentScript = place.position;
    ListNewScript(window, place);
    SetOutputStatus(window, "");
    EnableItem(window, kExecuteButtonId, false);
    LayoutSlots(window, 0);

    UniqueHandle editor = ShellRun(*path, "edit", SW_SHOWNORMAL);
    WaitForProcess(editor);
    if (!::IsWindowVisible(window))
        return;  // closed while the editor was open

    // The list stays usable during the wait; what follows is about the new entry whatever
    // is selected now.
    const bool stillSelected = app.currentScript == place.position;
    app.currentScript = place.position;
    const std::uint8_t count = ValidateScript(app.catalogue, app.validationLog,
                                              OpenScriptFolder(programFolder), place.position);
    if (count == kInvalidScript) {
        RemoveScript(window, place.position);
        MyMsgBox(window, kInvalidNewScriptText, kCaption, kMbIconError, "");
        return;
    }
    SetOutputStatus(window, kProducedText);
    ReplaceListItem(window, place.position,
                    TrimBlanks(app.catalogue.At(place.position).displayName));
    if (count != 0 || !stillSelected)
        LayoutSlots(window, count);
}

}  // namespace quillon

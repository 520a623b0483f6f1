#include "app/ScriptFolderWatch_win.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState_win.h"
#include "app/MainWindowLayout.h"
#include "app/MenuIds.h"
#include "app/ScriptCommands_win.h"
#include "app/SettingRows_win.h"
#include "app/StartUp_win.h"
#include "base/AnsiText_win.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Handles_win.h"
#include "base/WorkArea_win.h"
#include "pictures/InputSlots_win.h"

namespace quillon {
namespace {

constexpr UINT_PTR kQuietTimer = kScriptsChangedMessage;
// Long enough for an editor that saves in steps (a temporary file, a rename, a deletion).
constexpr UINT kQuietMs = 300;
constexpr DWORD kWatchedChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

// A thread that waits on the folder and tells the window of changes. The window does the
// reading, on its own thread, where the catalogue lives. One message at a time is enough: a
// run that writes hundreds of files into the folder does not fill the window's queue.
class FolderWatch {
  public:
    FolderWatch(const std::string& folder, HWND window)
        : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          change_(
              ::FindFirstChangeNotificationW(WidenAnsi(folder).c_str(), FALSE, kWatchedChanges)) {
        // A folder that cannot be watched is read at the next start, as it always was.
        if (stop_ && change_)
            thread_ = std::thread([this, window] { Watch(window); });
    }
    ~FolderWatch() {
        if (thread_.joinable()) {
            ::SetEvent(stop_.get());
            thread_.join();
        }
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // The window has taken the message; the next change is told again.
    void Heard() { told_ = false; }

  private:
    void Watch(HWND window) {
        const HANDLE waits[] = {stop_.get(), change_.get()};
        while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            if (!told_.exchange(true))
                ::PostMessageW(window, kScriptsChangedMessage, 0, 0);
            if (!::FindNextChangeNotification(change_.get()))
                return;
        }
    }

    UniqueHandle stop_;
    UniqueChangeNotification change_;
    std::atomic<bool> told_{false};
    std::thread thread_;
};

std::unique_ptr<FolderWatch>& TheWatch() {
    static std::unique_ptr<FolderWatch> watch;
    return watch;
}

// A run, an editor or a dialog may hold a list position and expect it to stay, and a list
// that the user has dropped down should not change under the pointer.
bool MustWait(HWND window) {
    return App().busy || !::IsWindowEnabled(window) ||
           ::SendDlgItemMessageW(window, kScriptListId, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void RefillScriptList(HWND window) {
    HWND list = ::GetDlgItem(window, kScriptListId);
    const std::vector<std::string> items = CatalogueListItems(App().catalogue);
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    FillScriptList(list, items);
    RECT shown{};
    ::GetWindowRect(list, &shown);
    // At the window's scaling, as the layout gives it: the list drops as far at 150 % after
    // the folder is read again as before.
    ::SetWindowPos(
        list, nullptr, 0, 0, shown.right - shown.left,
        ScaledLength(ScriptListHeight(static_cast<int>(items.size())), DpiOfWindow(window)),
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Reads the folder again; the chosen script stays chosen, by its file name, while it is
// still there (its pictures stay too unless its number of pictures changed).
void ReadScriptsAgain(HWND window) {
    AppState& app = App();
    const bool chosen = app.catalogue.Contains(app.currentScript);
    const ScriptEntry before = chosen ? app.catalogue.At(app.currentScript) : ScriptEntry{};
    if (!RescanProgramFolder())
        return;
    RefillScriptList(window);
    const int position = chosen ? PositionOfFile(app.catalogue, before.fileName) : 0;
    if (position != 0) {
        app.currentScript = position;
        ::SendDlgItemMessageW(window, kScriptListId, CB_SETCURSEL,
                              static_cast<WPARAM>(position - 1), 0);
        if (app.catalogue.At(position).argCount != before.argCount)
            LayoutSlots(window, app.catalogue.At(position).argCount);
        if (app.catalogue.At(position).settingLines != before.settingLines)
            ShowScriptSettings(window, app.catalogue.At(position));
        return;
    }
    app.currentScript = 0;
    if (chosen) {
        LayoutSlots(window, 1);
        ShowNoScript(window);
    } else {
        SetItemText(window, kInputStatusId, kSelectScriptText);  // the marker may have gone
    }
}

}  // namespace

void WatchScriptFolder(HWND window) {
    TheWatch() = std::make_unique<FolderWatch>(ProgramFolder(), window);
}

void StopWatchingScriptFolder() {
    TheWatch().reset();
}

void OnScriptsChanged(HWND window) {
    if (TheWatch())
        TheWatch()->Heard();
    ::SetTimer(window, kQuietTimer, kQuietMs, nullptr);  // a change meanwhile starts it again
}

void ReadScriptFolderNow(HWND window) {
    if (MustWait(window)) {
        RefusalBeep();
        return;
    }
    ::KillTimer(window, kQuietTimer);  // what the watch heard is read now too
    ReadScriptsAgain(window);
}

bool OnScriptsChangedTimer(HWND window, UINT_PTR timer) {
    if (timer != kQuietTimer)
        return false;
    if (MustWait(window))
        return true;  // the timer comes again
    ::KillTimer(window, kQuietTimer);
    ReadScriptsAgain(window);
    return true;
}

}  // namespace quillon

// The real main window built inside the test process, over a fresh program folder, and
// driven with the messages Windows itself would send.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/Drop_win.h"
#include "support/TempFolder.h"

namespace quillon::testing {

// A control's rectangle in its parent's client pixels.
RECT ControlRect(HWND control);

// Lets the window handle what is queued for it.
void PumpMessages();

// Lets the window handle what reaches it until condition holds, or at most kPatience (see
// WaitUntil.h); true when it held.
bool PumpUntil(const std::function<bool()>& condition);

// A window as it was asked for when it was created.
struct CreatedWindow {
    std::wstring className;
    HWND parent = nullptr;
    int id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    DWORD style = 0;
    DWORD extendedStyle = 0;
};

// A folder of the test's own scripts, with the main window opened on it.
class MainWindowHarness {
  public:
    MainWindowHarness();
    ~MainWindowHarness();
    MainWindowHarness(const MainWindowHarness&) = delete;
    MainWindowHarness& operator=(const MainWindowHarness&) = delete;

    // Writes a script taking argCount pictures; call before Open.
    void AddScript(const std::string& fileName, int argCount, const std::string& displayName);
    // Builds the window over the folder's scripts.
    HWND Open();

    HWND window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    const TempFolder& folder() const { return folder_; }
    std::string Text(int id) const;
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }

    // Selects list item `position` (from 1) and confirms it, as the list does.
    void ChooseScript(int position);
    // The same for the item showing this display name; false when there is none.
    bool ChooseScript(const std::string& displayName);
    // The cursor query Windows sends when the pointer moves over control `id`; its result.
    LRESULT HoverOver(int id);
    // Drops files with the pointer at the centre of control `id` (0: the window's corner).
    void DropOn(int id, const std::vector<std::wstring>& files);
    // A click or double-click reported by a picture area.
    void Click(int id, WORD code = STN_CLICKED);

    // The children of the main window created so far, in creation order, as requested.
    std::vector<CreatedWindow> CreatedControls() const;

  private:
    TempFolder folder_;
    HWND window_ = nullptr;
    HHOOK creationHook_ = nullptr;
};

// The folder of pictures drawn for the tests at build time.
std::filesystem::path TestPicture(const char* name);

}  // namespace quillon::testing

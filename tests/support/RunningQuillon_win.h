// The real Quillon.exe in a fresh program folder, driven from the test's process as a user
// would drive it, and the small waits and looks such tests share.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon::testing {

// Where Quillon.exe keeps its window position: the local application-data folder of the
// prefix, which every test shares, so tests that move the window remove it before and after.
std::filesystem::path QuillonPositionFile();

// The file name box of an open- or save-file dialog: the one edit control that takes a name.
HWND FileNameBox(HWND dialog);

class RunningQuillon {
  public:
    using Files = std::vector<std::pair<std::string, std::string>>;  // name, bytes

    // Quillon.exe installed in folder beside the files given, started with these command-line
    // arguments, with its window open.
    RunningQuillon(const std::filesystem::path& folder, const Files& files,
                   const std::wstring& arguments = L"");
    // The same with one script file, "script.xml".
    RunningQuillon(const std::filesystem::path& folder, const std::string& script);
    ~RunningQuillon();
    RunningQuillon(const RunningQuillon&) = delete;
    RunningQuillon& operator=(const RunningQuillon&) = delete;

    HWND window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    std::string Text(int id) const;
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }

    // Chooses list item `item` (from 1) as a user confirming it in the list.
    void ChooseScript(int item);
    void ChooseFirstScript() { ChooseScript(1); }
    // Clicks a slot and picks the file in the chooser that opens.
    bool FillSlot(int slot, const std::filesystem::path& picture);
    // Picks the file in the chooser once it opens; true when the input status names it.
    bool AnswerChooser(const std::filesystem::path& picture);
    // The control of the window that has the keyboard focus; null when none has.
    HWND Focus() const;
    // A key pressed on the focused control, as the keyboard sends it.
    void Key(WPARAM key);
    // Clicks slot 1 and picks several pictures of one folder in the chooser: into the
    // folder first, then the names ("a.png" "b.png"); true once slot 1 counts them.
    bool FillSlotOne(const std::filesystem::path& folder, const std::vector<std::wstring>& names);
    void Click(int id);
    void Execute();
    // Gives a popup-menu command.
    void Command(int id);

    // The text of the next message box, which is then answered with button `button` (from
    // 1); returns once the box has gone.
    std::string AnswerMessage(int button = 1);
    HWND WaitForPopUp(const wchar_t* title) { return program_.WaitForWindow(title); }

    long Close();

  private:
    StartedProgram program_;
    HWND window_ = nullptr;
};

}  // namespace quillon::testing

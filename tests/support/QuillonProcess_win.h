// The real Quillon.exe, started from a program folder of the test's own, as a user starts it.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon::testing {

// Where Quillon.exe keeps its window position: the local application-data folder of the
// prefix, which every test shares, so tests that start the program remove it before and after.
std::filesystem::path QuillonPositionFile();

class QuillonProcess {
  public:
    // Copies Quillon.exe into folder, starts it and waits for its main window.
    explicit QuillonProcess(const std::filesystem::path& folder);
    // Closes the window if the test left it open, and waits for the program to end.
    ~QuillonProcess();

    HWND window() const { return window_; }
    HWND WaitForWindow(const std::wstring& title) const { return program_.WaitForWindow(title); }
    // Closes the main window with the system's close command; the exit code, -1 on timeout.
    long Close();

  private:
    StartedProgram program_;
    HWND window_ = nullptr;
};

}  // namespace quillon::testing

// Helpers for tests that drive real Windows programs under Wine.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/Handles_win.h"
#include "base/PixelGeometry.h"
#include "support/WaitUntil.h"

namespace quillon::testing {

// kPatience for Windows' own waits, which count milliseconds.
constexpr DWORD kPatienceMs = static_cast<DWORD>(kPatience.count());

// A path from the build (a Linux path when cross-compiled) as Windows names it.
std::wstring WindowsPath(const std::string& path);

// The value of an environment variable set by the test runner; the test fails without it.
std::string RequiredEnvironment(const char* name);

// Copies Quillon.exe with its legacy tool names (and, when asked, the sample scripts) into
// folder.
std::wstring InstallQuillon(const std::wstring& folder, bool withSamples);

// A program started for a test; it is ended if the test leaves it running.
class StartedProgram {
  public:
    StartedProgram(const std::wstring& exe, const std::wstring& arguments);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    // The first visible top-level window of the process with this title, waiting for it.
    HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = kPatienceMs) const;
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    long WaitForExit(DWORD timeoutMs = kPatienceMs);

  private:
    UniqueHandle process_;
    DWORD processId_ = 0;
};

// The text of a window or control, asked of it directly: the window text that another
// process keeps for an edit control is not its content.
std::wstring TextOf(HWND control);

// A path as the program holds it: in the ANSI code page, with what it cannot write marked.
std::string Ansi(const std::filesystem::path& path);

// A rectangle for a failure message: "300x150 at (10,20)".
std::string Describe(const RECT& r);

// Works a modal window of this thread (a dialog box, a popup menu) from a second thread
// while this thread waits in the window's own loop: act runs on the first window find
// returns, and a window that act leaves open is handed to rescue after kPatience, so that a
// failing test cannot hang the run. Made just before the call that opens the window.
class ModalDriver {
  public:
    ModalDriver(std::function<HWND()> find, std::function<void(HWND)> act,
                std::function<void(HWND)> rescue);
    ~ModalDriver() { Finish(); }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Waits for the second thread to end; Rescued is known after it.
    void Finish() {
        if (thread_.joinable())
            thread_.join();
    }
    bool Found() const { return found_; }
    bool Rescued() const { return rescued_; }

  private:
    std::atomic<bool> found_{false};
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

// Runs a console program to its end and returns what it wrote to standard output.
struct ConsoleResult {
    long exitCode = -1;
    std::string output;
};
ConsoleResult RunConsole(const std::wstring& exe, const std::wstring& arguments);

// CreateProcessW with inheritable handles inherited, tried once more 200 ms later: Wine now
// and then refuses a start under load, as the programs' own starts of the interpreter allow.
bool StartInheriting(const std::wstring& exe, const std::wstring& commandLine,
                     STARTUPINFOW& startup, PROCESS_INFORMATION& info);

// The texts of a combo box's items.
std::vector<std::wstring> ComboItems(HWND combo);

// One entry of a loaded module's import table: the DLL, the procedure's name (null when it
// is imported by number) or number, and the slot through which the module calls it.
struct ImportEntry {
    const char* dll = nullptr;
    const char* name = nullptr;
    WORD ordinal = 0;
    IMAGE_THUNK_DATA* slot = nullptr;
};

// Calls visit for each import of a loaded module, in table order, until visit returns false.
void ForEachImport(HMODULE module, const std::function<bool(const ImportEntry&)>& visit);

// Points an import slot at another address, through the slot's page protection.
bool WriteImportSlot(IMAGE_THUNK_DATA* slot, const void* address);

// For a fixture's SetUp: the work area of the first monitor other than the primary one, as
// the system lists them. Without one the test is skipped, or fails where the runner made this
// display with two monitors (QUILLON_EXPECT_TWO_MONITORS set).
void SecondWorkAreaOrSkip(PixelRect* area);

// How text is drawn: the font's face, size in points and slant, the ink's colour and the
// colour it is drawn over (transparently).
struct TextLook {
    const wchar_t* face = L"";
    int points = 0;
    bool italic = false;
    COLORREF ink = 0;
    COLORREF background = 0;
};

// Text measured in its own font: what drawn text is compared with, so that a test holds for
// whichever font the system gives for the face asked for.
struct TextMeasure {
    SIZE extent{};  // what GetTextExtentPoint32 gives
    RECT ink{};     // the pixels of exactly the ink's colour, from the point the text is drawn
                    // at (right and bottom exclusive); empty when there are none
};
TextMeasure MeasureText(HDC like, const TextLook& look, const std::wstring& text);

}  // namespace quillon::testing

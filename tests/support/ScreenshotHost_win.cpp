// Opens the real main window over a folder of scripts, as Quillon.exe does, optionally
// chooses a script and drops pictures on its slots, then waits so that the screen can be
// photographed. Used by tools/take-screenshots; not a test.
//   quillon_screenshot_host FOLDER READY-FILE [SCRIPT-NAME PICTURE...]
// Writes the window's screen rectangle ("x y width height") into READY-FILE once it is
// drawn, and closes when READY-FILE is deleted (or after two minutes).
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "app/StartUp_win.h"
#include "base/AnsiText_win.h"
#include "pictures/InputSlots.h"
#include "pictures/PictureEngine_win.h"
#include "support/Drop_win.h"

namespace {

using namespace quillon;

constexpr DWORD kLongestWaitMs = 120000;

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool ChooseScript(HWND window, const std::wstring& name) {
    HWND list = ::GetDlgItem(window, kScriptListId);
    const LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(name.c_str()));
    if (index < 0)
        return false;
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
    return true;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 3) {
        std::fprintf(stderr,
                     "usage: quillon_screenshot_host FOLDER READY-FILE [SCRIPT PICTURE...]\n");
        return 2;
    }
    std::string folder = NarrowToAnsiMarked(argv[1]);
    if (folder.back() != '\\')
        folder.push_back('\\');
    const std::wstring readyFile = argv[2];

    BuildMenus();
    CreateInputSlots();
    StartPictureEngine();
    SetProgramFolderForTesting(folder);
    HWND window = CreateMainWindowModeless();
    if (window == nullptr)
        return 1;
    Pump();
    if (argc >= 4) {
        if (!ChooseScript(window, argv[3])) {
            std::fprintf(stderr, "no script named %ls\n", argv[3]);
            return 1;
        }
        for (int i = 4; i < argc; ++i)
            testing::DropOnControl(window, kSlotIdBase + (i - 3), {argv[i]});
    }
    // Nothing has the keyboard focus, so no control shows a focus mark in the picture.
    ::SetFocus(nullptr);
    Pump();

    RECT outer{};
    ::GetWindowRect(window, &outer);
    if (FILE* ready = ::_wfopen(readyFile.c_str(), L"w")) {
        std::fprintf(ready, "%ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left,
                     outer.bottom - outer.top);
        std::fclose(ready);
    }
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesW(readyFile.c_str()) != INVALID_FILE_ATTRIBUTES &&
           ::GetTickCount() - start < kLongestWaitMs) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        Pump();
    }
    ::DestroyWindow(window);
    Pump();
    return 0;
}

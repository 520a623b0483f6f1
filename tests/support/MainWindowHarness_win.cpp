#include "support/MainWindowHarness_win.h"

#include <chrono>

#include "app/AppState_win.h"
#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "app/StartUp_win.h"
#include "base/AnsiText_win.h"
#include "pictures/InputSlots.h"
#include "pictures/PictureEngine_win.h"
#include "settings/WindowPosition_win.h"
#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon::testing {

RECT ControlRect(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

std::vector<CreatedWindow>& CreationLog() {
    static std::vector<CreatedWindow> log;
    return log;
}

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        CreatedWindow created;
        wchar_t name[64] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
        created.className = name;
        created.parent = create.hwndParent;
        created.id = static_cast<int>(reinterpret_cast<INT_PTR>(create.hMenu));
        created.x = create.x;
        created.y = create.y;
        created.width = create.cx;
        created.height = create.cy;
        created.style = static_cast<DWORD>(create.style);
        created.extendedStyle = create.dwExStyle;
        CreationLog().push_back(created);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Start-up steps that run once per process before any main window.
void StartOnce() {
    static const bool started = [] {
        BuildMenus();
        StartPictureEngine();
        return true;
    }();
    (void)started;
}
}  // namespace

MainWindowHarness::MainWindowHarness() {
    StartOnce();
    CreateInputSlots();
    SetProgramFolderForTesting(folder_.WithSeparator());
    // A position or size kept by an earlier test's window would move or grow this one.
    ::DeleteFileW(WidenAnsi(PositionFilePath()).c_str());
    ::DeleteFileW(WidenAnsi(SizeFilePath()).c_str());
    CreationLog().clear();
    creationHook_ = ::SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, ::GetCurrentThreadId());
}

MainWindowHarness::~MainWindowHarness() {
    if (creationHook_ != nullptr)
        ::UnhookWindowsHookEx(creationHook_);
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    PumpMessages();
    ::DeleteFileW(WidenAnsi(PositionFilePath()).c_str());
    ::DeleteFileW(WidenAnsi(SizeFilePath()).c_str());
    CreateInputSlots();  // lets go of the pictures, and of the files they hold open
    App().dropTarget.Reset();
    App().mainWindow = nullptr;
    SetProgramFolderForTesting("");
}

void MainWindowHarness::AddScript(const std::string& fileName, int argCount,
                                  const std::string& displayName) {
    folder_.Write(fileName, "<script args=\"" + std::to_string(argCount) + "\" name=\"" +
                                displayName + "\">\r\nconvert in.png out.png\r\n</script>\r\n");
}

HWND MainWindowHarness::Open() {
    window_ = CreateMainWindowModeless();
    PumpMessages();
    return window_;
}

std::string MainWindowHarness::Text(int id) const {
    return ControlText(id);
}

void MainWindowHarness::ChooseScript(int position) {
    HWND list = Control(kScriptListId);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position - 1), 0);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
    PumpMessages();
}

bool MainWindowHarness::ChooseScript(const std::string& displayName) {
    const std::wstring wide(displayName.begin(), displayName.end());
    const LRESULT index =
        ::SendMessageW(Control(kScriptListId), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(wide.c_str()));
    if (index < 0)
        return false;
    ChooseScript(static_cast<int>(index) + 1);
    return true;
}

LRESULT MainWindowHarness::HoverOver(int id) {
    HWND under = id == 0 ? window_ : Control(id);
    return ::SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void MainWindowHarness::DropOn(int id, const std::vector<std::wstring>& files) {
    DropOnControl(window_, id, files);
    PumpMessages();
}

void MainWindowHarness::Click(int id, WORD code) {
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(Control(id)));
    PumpMessages();
}

std::vector<CreatedWindow> MainWindowHarness::CreatedControls() const {
    std::vector<CreatedWindow> controls;
    for (const CreatedWindow& created : CreationLog()) {
        if (created.parent == window_ && window_ != nullptr)
            controls.push_back(created);
    }
    return controls;
}

std::filesystem::path TestPicture(const char* name) {
    return std::filesystem::path(WindowsPath(RequiredEnvironment("QUILLON_TEST_PICTURES"))) / name;
}

}  // namespace quillon::testing

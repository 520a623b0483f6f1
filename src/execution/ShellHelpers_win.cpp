#include "execution/ShellHelpers_win.h"

#include <shellapi.h>

namespace quillon {

namespace {

constexpr char kEditVerb[] = "edit";
// The longest a pass waits, as the window's owner is promised.
constexpr DWORD kPassWaitMs = 100;

bool IsNoProcess(HANDLE process) {
    // INVALID_HANDLE_VALUE is also the pseudo handle of the current process, which would
    // never signal.
    return process == nullptr || process == INVALID_HANDLE_VALUE;
}

// Handles one message as the main window's own loop would: keys that move between
// controls go to the active dialog.
void HandleMessage(MSG& message) {
    HWND dialog = ::GetActiveWindow();
    if (dialog != nullptr && ::IsDialogMessageW(dialog, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace

UniqueHandle ShellRun(const std::string& file, const std::string& verbOrParameters,
                      int showCommand) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // The process handle is wanted, and the shell must not show a dialog of its own.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.nShow = showCommand;
    if (verbOrParameters == kEditVerb)
        info.lpVerb = kEditVerb;
    else
        info.lpParameters = verbOrParameters.c_str();
    if (!::ShellExecuteExA(&info))
        return UniqueHandle();
    return UniqueHandle(info.hProcess);
}

bool WaitForProcess(HANDLE& process) {
    bool signalled = false;
    bool quitSeen = false;
    WPARAM quitCode = 0;
    for (;;) {
        MSG message;
        if (!quitSeen && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The loop that asked to end must still see the request after this wait.
                quitSeen = true;
                quitCode = message.wParam;
            } else {
                HandleMessage(message);
            }
        }
        if (IsNoProcess(process))
            break;
        // Wakes when the process ends or when any message is waiting, so the window answers
        // at once instead of after the rest of the pass.
        const DWORD woken = quitSeen
                                ? ::WaitForSingleObject(process, kPassWaitMs)
                                : ::MsgWaitForMultipleObjectsEx(1, &process, kPassWaitMs,
                                                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_TIMEOUT && woken != WAIT_OBJECT_0 + 1) {
            // An abandoned mutex is owned by the waiter all the same.
            signalled = woken == WAIT_OBJECT_0 || woken == WAIT_ABANDONED_0;
            break;
        }
    }
    if (quitSeen)
        ::PostQuitMessage(static_cast<int>(quitCode));
    ReleaseProcess(process);
    return signalled;
}

void ReleaseProcess(HANDLE& process) {
    if (!IsNoProcess(process))
        ::CloseHandle(process);
    process = nullptr;
}

}  // namespace quillon

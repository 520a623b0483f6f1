#include "execution/ShellHelpers_win.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <string_view>

#include "base/AnsiText_win.h"
#include "execution/ImageMagickTools_win.h"

namespace quillon {

namespace {

constexpr char kEditVerb[] = "edit";
// A start refused under load often succeeds a moment later.
constexpr DWORD kRestartPauseMs = 200;
constexpr int kStartAttempts = 2;
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

std::wstring CommandInterpreter() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"ComSpec", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return path;
    const UINT system = ::GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, system < MAX_PATH ? system : 0) + L"\\cmd.exe";
}

// This process's environment with the run's variables added; later entries of a name would
// be ignored, and ours are names of their own.
std::vector<wchar_t> EnvironmentWith(const std::vector<BatchVariable>& variables) {
    std::vector<wchar_t> block;
    if (const LPWCH current = ::GetEnvironmentStringsW()) {
        const wchar_t* entry = current;
        while (*entry != L'\0') {
            const std::wstring_view text(entry);
            block.insert(block.end(), text.begin(), text.end());
            block.push_back(L'\0');
            entry += text.size() + 1;
        }
        ::FreeEnvironmentStringsW(current);
    }
    for (const BatchVariable& variable : variables) {
        const std::wstring entry = WidenAnsi(variable.name) + L"=" + WidenAnsi(variable.value);
        block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

// When a process started (a number that only grows), or 0.
ULONGLONG StartOf(HANDLE process) {
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return (ULONGLONG{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

void EndChildrenOf(DWORD parent, ULONGLONG parentStart) {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID != parent || entry.th32ProcessID == parent)
            continue;
        const UniqueHandle child(::OpenProcess(
            PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        // A process id is given again once its process has ended: a process older than the
        // parent only carries the number of an earlier one.
        const ULONGLONG childStart = child ? StartOf(child.get()) : 0;
        if (childStart == 0 || childStart < parentStart)
            continue;
        ::TerminateProcess(child.get(), 1);
        EndChildrenOf(entry.th32ProcessID, childStart);
    }
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

bool StartProcessTwice(const std::wstring& program, const std::wstring& commandLine,
                       bool inheritHandles, unsigned long flags, void* environment,
                       const wchar_t* folder, STARTUPINFOW& startup, PROCESS_INFORMATION& info) {
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (attempt > 0)
            ::Sleep(kRestartPauseMs);
        std::wstring line = commandLine;  // CreateProcessW may write into it
        if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr,
                             inheritHandles ? TRUE : FALSE, flags, environment, folder, &startup,
                             &info))
            return true;
    }
    return false;
}

StartedInterpreter StartInterpreter(const std::wstring& command, const std::wstring& folder,
                                    const std::vector<BatchVariable>& variables, bool suspended) {
    // Every script, single or one of a set, reaches ImageMagick the same way.
    static const bool imageMagickOnPath = (PutImageMagickFirstOnPath(), true);
    (void)imageMagickOnPath;
    const std::wstring interpreter = CommandInterpreter();
    const std::wstring line = L"\"" + interpreter + L"\" /d /c " + command;
    std::vector<wchar_t> environment = EnvironmentWith(variables);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    const DWORD flags =
        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | (suspended ? CREATE_SUSPENDED : 0);
    StartedInterpreter started;
    PROCESS_INFORMATION info{};
    if (!StartProcessTwice(interpreter, line, false, flags, environment.data(), folder.c_str(),
                           startup, info)) {
        started.error = ::GetLastError();
        return started;
    }
    started.process.Reset(info.hProcess);
    started.thread.Reset(info.hThread);
    return started;
}

UniqueHandle KillOnCloseJob() {
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                          sizeof(limits)))
        job.Reset();
    return job;
}

void KeepOnClose(HANDLE job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
}

void EndProcessTree(HANDLE process) {
    const DWORD id = ::GetProcessId(process);
    const ULONGLONG start = StartOf(process);
    // The parent first, so that it starts nothing more while its children are ended.
    ::TerminateProcess(process, 1);
    if (id != 0 && start != 0)
        EndChildrenOf(id, start);
}

}  // namespace quillon

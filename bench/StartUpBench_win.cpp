// How long the real Quillon.exe takes from its start to an idle window with its script list
// filled, with 10 and with 1,000 scripts beside it, against a bare dialog with one combo box
// (this program started again with --bare) measured the same way. Run by bench/run-all.
//   quillon_startup_bench QUILLON.EXE [ROUNDS]
// With a PICTURE after ROUNDS it times instead a start with that picture on the command line,
// to the picture in its slot, against a start followed by the picture handed over; a WAIT
// after it (milliseconds) is how long the script is chosen after the window is found.
// The three are started in turn, round by round, so that whatever else the machine does
// weighs on all alike; each is timed from CreateProcess until its window is visible, its list
// holds every entry and it answers a message (it has left its start-up code).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BenchTiming.h"

namespace {

using namespace quillon::bench;

namespace fs = std::filesystem;

constexpr int kListId = 1001;  // the id of the script list in Quillon's window
constexpr int kBareEntries = 10;
constexpr int kInputStatusId = 1003;  // the status line under the slots
// Marks the block of paths a second start hands to the running window ("QPIC").
constexpr ULONG_PTR kHandedPicturesTag = 0x51504943;

// The reference: a dialog made from a template in memory, one combo box, filled on start.
INT_PTR CALLBACK BareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        HWND combo = ::GetDlgItem(dialog, kListId);
        for (int i = 1; i <= kBareEntries; ++i) {
            const std::wstring name = L"Script " + std::to_wstring(i);
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        return TRUE;
    }
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int RunBareDialog() {
    struct alignas(DWORD) Template {
        DLGTEMPLATE dialog;
        WORD menu, windowClass;
        wchar_t title[12];
        WORD pad;
        DLGITEMTEMPLATE item;
        WORD classMark, classAtom, itemTitle, extra;
    } t{};
    t.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    t.dialog.cdit = 1;
    t.dialog.cx = 260;
    t.dialog.cy = 120;
    std::wcscpy(t.title, L"Bare dialog");
    t.item.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST;
    t.item.x = 10;
    t.item.y = 10;
    t.item.cx = 200;
    t.item.cy = 100;
    t.item.id = kListId;
    t.classMark = 0xFFFF;
    t.classAtom = 0x0085;  // combo box
    return static_cast<int>(
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &t.dialog, nullptr, BareProc, 0));
}

struct Found {
    DWORD processId;
    HWND window;
};

HWND FindTopWindow(DWORD processId) {
    Found found{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == f->processId && ::IsWindowVisible(window) &&
                ::GetDlgItem(window, kListId) != nullptr) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// Starts the program and returns the milliseconds until `ready` holds for its window (or -1).
double TimeUntil(const std::wstring& exe, const std::wstring& arguments, const fs::path& folder,
                 const std::function<bool(HWND)>& ready) {
    std::wstring commandLine = L"\"" + exe + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const double start = NowMs();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.wstring().c_str(), &startup, &info))
        return -1.0;
    double took = -1.0;
    HWND window = nullptr;
    while (NowMs() - start < 30000.0) {
        window = FindTopWindow(info.dwProcessId);
        if (window != nullptr && ready(window)) {
            took = NowMs() - start;
            break;
        }
        ::Sleep(1);
    }
    // Closed as the user closes it: Quillon's window takes WM_CLOSE for Escape and stays.
    if (window != nullptr)
        ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (::WaitForSingleObject(info.hProcess, 20000) != WAIT_OBJECT_0)
        ::TerminateProcess(info.hProcess, 1);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return took;
}

// The milliseconds to the program's idle window with its list filled (or -1).
double TimeStart(const std::wstring& exe, const std::wstring& arguments, const fs::path& folder,
                 LRESULT entries) {
    return TimeUntil(exe, arguments, folder, [entries](HWND window) {
        DWORD_PTR count = 0;
        ::SendMessageTimeoutW(::GetDlgItem(window, kListId), CB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000,
                              &count);
        if (static_cast<LRESULT>(count) < entries)
            return false;
        DWORD_PTR ignored = 0;  // it has left its start-up code once it answers
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        return true;
    });
}

fs::path InstallWithScripts(const fs::path& root, const wchar_t* name, const wchar_t* exe,
                            int scripts) {
    const fs::path folder = root / name;
    fs::create_directories(folder);
    fs::copy_file(exe, folder / L"Quillon.exe");
    for (int i = 1; i <= scripts; ++i) {
        std::ofstream(folder / ("script" + std::to_string(i) + ".xml"), std::ios::binary)
            << "<script args=\"1\" name=\"Script " << i
            << "\">\r\nconvert $NAME.$EXT -resize 50% out" << i << ".png\r\n</script>\r\n";
    }
    return folder;
}

// With a picture: the time from CreateProcess until the window's status line names the
// picture in slot 1, the script chosen chooseAfterMs after the window is found. Handed: the
// picture on the command line, as Explorer's "Open with" gives it. Otherwise it is handed
// over once the script is chosen, in the message a second start sends: the fill a drop makes,
// without the shell's drag, which cannot be made from another process.
double TimeToPicture(const std::wstring& exe, const fs::path& folder, const std::wstring& picture,
                     bool handed, DWORD chooseAfterMs) {
    const std::wstring name = fs::path(picture).filename().wstring() + L" ";
    bool chosen = false;
    return TimeUntil(exe, handed ? L" \"" + picture + L"\"" : L"", folder, [&](HWND window) {
        DWORD_PTR ignored = 0;
        if (!chosen) {
            ::Sleep(chooseAfterMs);  // a user takes a moment to choose
            HWND list = ::GetDlgItem(window, kListId);
            ::SendMessageTimeoutW(list, CB_SETCURSEL, 0, 0, SMTO_NORMAL, 5000, &ignored);
            ::SendMessageTimeoutW(window, WM_COMMAND, MAKEWPARAM(kListId, CBN_SELENDOK),
                                  reinterpret_cast<LPARAM>(list), SMTO_NORMAL, 5000, &ignored);
            if (!handed) {
                std::wstring block = picture + L'\0';
                COPYDATASTRUCT data{kHandedPicturesTag,
                                    static_cast<DWORD>(block.size() * sizeof(wchar_t)),
                                    block.data()};
                ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                      SMTO_NORMAL, 5000, &ignored);
            }
            chosen = true;
        }
        wchar_t status[MAX_PATH] = {};
        ::SendMessageTimeoutW(::GetDlgItem(window, kInputStatusId), WM_GETTEXT, MAX_PATH,
                              reinterpret_cast<LPARAM>(status), SMTO_NORMAL, 5000, &ignored);
        return std::wstring(status).rfind(name, 0) == 0;
    });
}

// Start-up with a picture on the command line against start-up and the picture handed over.
int TimePictureStarts(const fs::path& root, const wchar_t* exe, const std::wstring& picture,
                      int rounds, DWORD chooseAfterMs) {
    const fs::path one = InstallWithScripts(root, L"one", exe, 1);
    const std::wstring oneExe = (one / L"Quillon.exe").wstring();
    TimeToPicture(oneExe, one, picture, true, chooseAfterMs);
    TimeToPicture(oneExe, one, picture, false, chooseAfterMs);
    std::vector<double> handed, after;
    for (int r = 0; r < rounds; ++r) {
        handed.push_back(TimeToPicture(oneExe, one, picture, true, chooseAfterMs));
        after.push_back(TimeToPicture(oneExe, one, picture, false, chooseAfterMs));
    }
    if (std::min(*std::min_element(handed.begin(), handed.end()),
                 *std::min_element(after.begin(), after.end())) < 0.0) {
        std::fprintf(stderr, "a picture did not reach its slot\n");
        return 1;
    }
    const double handedMedian = Summarise(handed).median;
    const double afterMedian = Summarise(after).median;
    std::printf("picture on the command line, to its slot:     median %7.1f ms (%d rounds)\n",
                handedMedian, rounds);
    std::printf("start-up, then the picture handed over:       median %7.1f ms\n", afterMedian);
    std::printf("ratio of medians: %.2f (target <= 1.0)\n", handedMedian / afterMedian);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--bare")
        return RunBareDialog();
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: quillon_startup_bench QUILLON.EXE [ROUNDS [PICTURE [WAIT]]]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 7;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path root = fs::path(temp) / L"quillon-startup-bench";
    fs::remove_all(root);
    if (argc > 3) {
        const int failed = TimePictureStarts(root, argv[1], argv[3], rounds,
                                             argc > 4 ? static_cast<DWORD>(_wtoi(argv[4])) : 0);
        fs::remove_all(root);
        return failed;
    }
    const fs::path ten = InstallWithScripts(root, L"ten", argv[1], 10);
    const fs::path thousand = InstallWithScripts(root, L"thousand", argv[1], 1000);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);

    const std::wstring tenExe = (ten / L"Quillon.exe").wstring();
    const std::wstring thousandExe = (thousand / L"Quillon.exe").wstring();
    // One untimed start of each warms the file cache and Wine's own start.
    TimeStart(self, L" --bare", root, kBareEntries);
    TimeStart(tenExe, L"", ten, 10);
    TimeStart(thousandExe, L"", thousand, 1000);
    std::vector<double> bare, small, large;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(TimeStart(self, L" --bare", root, kBareEntries));
        small.push_back(TimeStart(tenExe, L"", ten, 10));
        large.push_back(TimeStart(thousandExe, L"", thousand, 1000));
    }
    if (std::min({*std::min_element(bare.begin(), bare.end()),
                  *std::min_element(small.begin(), small.end()),
                  *std::min_element(large.begin(), large.end())}) < 0.0) {
        std::fprintf(stderr, "a window did not come up\n");
        return 1;
    }
    std::printf("bare dialog with one combo box:     median %7.1f ms (%d rounds)\n",
                Summarise(bare).median, rounds);
    std::printf("Quillon.exe with 10 scripts:        median %7.1f ms\n", Summarise(small).median);
    std::printf("Quillon.exe with 1,000 scripts:     median %7.1f ms\n", Summarise(large).median);
    fs::remove_all(root);
    return 0;
}

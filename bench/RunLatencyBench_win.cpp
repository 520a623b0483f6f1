// How quickly does the real Quillon.exe answer a message from another process while one of
// its scripts runs, against the same round trip while it is idle? Run by hand:
//   bench/run-latency.sh
// It installs Quillon.exe (given as the first argument) into a fresh folder with a script
// that runs until this program lets it finish (about five seconds later), and sends WM_NULL
// round trips with SendMessageTimeout: 300 while idle, then as many as fit into the run.
// Given four pictures after it, it then chooses a four-picture script (the pictures, handed
// on Quillon's command line, fill its slots) and times 200 resizes of the window from another
// process: each returns once the window has laid itself out and drawn its previews again.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTiming.h"

namespace {

using namespace quillon::bench;

namespace fs = std::filesystem;

constexpr int kIdleRounds = 300;
constexpr DWORD kRunMs = 5000;
constexpr UINT kAnswerLimitMs = 5000;
constexpr int kResizeRounds = 200;

double RoundTrip(HWND window) {
    const double start = NowMs();
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &result);
    return NowMs() - start;
}

HWND WaitForMainWindow(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    for (int i = 0; i < 400 && search.found == nullptr; ++i) {
        ::EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                wchar_t title[64] = {};
                ::GetWindowTextW(window, title, 64);
                if (owner == s->processId && ::IsWindowVisible(window) &&
                    std::wstring(title).rfind(L"Quillon v", 0) == 0) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        ::Sleep(50);
    }
    return search.found;
}

void Print(const char* what, const Spread& s) {
    std::printf("%-28s n=%5zu  median %7.3f ms  p99 %7.3f ms  worst %8.3f ms\n", what, s.count,
                s.median, s.p99, s.worst);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillon_run_latency_bench QUILLON.EXE [PICTURE x 4]\n");
        return 2;
    }
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / L"quillon-run-latency";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(argv[1], folder / L"Quillon.exe");
    std::ofstream(folder / "held.xml", std::ios::binary)
        << "<script args=\"0\" name=\"Held\">\r\n:hold\r\nif not exist go.txt goto hold\r\n"
           "convert rose: rose.png\r\n</script>\r\n";
    std::ofstream(folder / "four.xml", std::ios::binary)
        << "<script args=\"4\" name=\"Four pictures\">\r\nconvert a b c d out.png\r\n"
           "</script>\r\n";
    const bool resizes = argc >= 6;

    const std::wstring exe = (folder / L"Quillon.exe").wstring();
    std::wstring commandLine = L"\"" + exe + L"\"";
    for (int i = 2; resizes && i < 6; ++i)
        commandLine += L" \"" + std::wstring(argv[i]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.wstring().c_str(), &startup, &info)) {
        std::fprintf(stderr, "Quillon.exe did not start\n");
        return 1;
    }
    HWND window = WaitForMainWindow(info.dwProcessId);
    if (window == nullptr) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    HWND list = ::GetDlgItem(window, 1001);
    const auto choose = [&](const wchar_t* name) {
        const LRESULT item = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(name));
        ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(1001, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(list));
    };
    choose(L"Held");

    std::vector<double> idle;
    for (int i = 0; i < 20; ++i)
        RoundTrip(window);  // warm-up
    for (int i = 0; i < kIdleRounds; ++i)
        idle.push_back(RoundTrip(window));

    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, 1006)));
    // The run has begun once the batch exists.
    for (int i = 0; i < 400 && !fs::exists(folder / "script.bat"); ++i)
        ::Sleep(10);
    std::vector<double> running;
    const double until = NowMs() + kRunMs;
    while (NowMs() < until) {
        running.push_back(RoundTrip(window));
        ::Sleep(5);
    }
    std::ofstream(folder / "go.txt") << "go";
    for (int i = 0; i < 1000 && fs::exists(folder / "script.bat"); ++i)
        ::Sleep(10);

    const Spread idleSpread = Summarise(idle);
    const Spread runSpread = Summarise(running);
    Print("idle window", idleSpread);
    Print("while a script runs", runSpread);
    std::printf("running / idle median: %.2f\n",
                idleSpread.median > 0 ? runSpread.median / idleSpread.median : 0.0);

    if (resizes) {
        choose(L"Four pictures");
        // The four pictures are in their slots once Execute may be pressed.
        HWND execute = ::GetDlgItem(window, 1006);
        for (int i = 0; i < 3000 && !::IsWindowEnabled(execute); ++i)
            ::Sleep(10);
        RECT frame{};
        ::GetWindowRect(window, &frame);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        std::vector<double> resizing;
        for (int i = 0; i < kResizeRounds; ++i) {
            const int grow = (i % 20) * 12;  // a drag: growing, then back to the start
            const double start = NowMs();
            ::SetWindowPos(window, nullptr, 0, 0, width + grow, height + grow / 2,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            resizing.push_back(NowMs() - start);
        }
        Print(::IsWindowEnabled(execute) ? "resize, four pictures" : "resize, slots not filled",
              Summarise(resizing));
    }

    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::WaitForSingleObject(info.hProcess, 20000);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    fs::remove_all(folder);
    return 0;
}

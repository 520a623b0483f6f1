// How soon does WaitForProcess answer the window, and how soon does it notice that the
// program it waits for has ended? Run by hand under Wine (or on Windows):
//   tools/wine-run build/windows/wineprefix build/windows/bench/quillon_wait_bench.exe
// For comparison the same is measured for a wait that polls blindly: one message, then a
// 1 ms sleep when none was waiting, then up to 100 ms on the process handle.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "base/Handles_win.h"
#include "execution/ShellHelpers_win.h"

namespace {

using quillon::UniqueHandle;

constexpr UINT kStampedMessage = WM_APP + 7;
constexpr int kMessageRounds = 100;
constexpr int kEndRounds = 15;

double Milliseconds(LONGLONG ticks) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

LONGLONG Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// A command interpreter that runs until its input pipe is closed.
struct WaitingProgram {
    UniqueHandle process;
    UniqueHandle input;
};

WaitingProgram StartWaitingProgram() {
    WaitingProgram program;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!::CreatePipe(&readRaw, &writeRaw, &inherit, 0))
        return program;
    UniqueHandle readEnd(readRaw);
    program.input.Reset(writeRaw);
    ::SetHandleInformation(writeRaw, HANDLE_FLAG_INHERIT, 0);
    wchar_t commandLine[] = L"cmd.exe /c set /p line=";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd.get();
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                         nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        program.process.Reset(info.hProcess);
    }
    return program;
}

HANDLE Duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    return copy;
}

// The blind poll, for comparison.
void PollingWait(HANDLE& process) {
    for (;;) {
        MSG message;
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        } else {
            ::Sleep(1);
        }
        ::Sleep(0);
        if (::WaitForSingleObject(process, 100) != WAIT_TIMEOUT)
            break;
    }
    ::CloseHandle(process);
    process = nullptr;
}

std::vector<double> g_messageLatencies;
std::atomic<int> g_handled{0};

LRESULT CALLBACK StampWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kStampedMessage) {
        g_messageLatencies.push_back(Milliseconds(Now() - static_cast<LONGLONG>(lParam)));
        ++g_handled;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Report(const char* what, std::vector<double> values) {
    if (values.empty()) {
        std::printf("%-44s no samples\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    auto at = [&values](double share) {
        return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
    };
    std::printf("%-44s n=%3zu  median %7.2f ms  p95 %7.2f ms  max %7.2f ms\n", what, values.size(),
                at(0.5), at(0.95), values.back());
}

using WaitFunction = std::function<void(HANDLE&)>;

// Messages posted one at a time, each at a random moment after the previous one was handled,
// while the wait runs: time from posting to handling.
std::vector<double> MessageLatencies(HWND window, const WaitFunction& wait) {
    g_messageLatencies.clear();
    g_handled = 0;
    WaitingProgram program = StartWaitingProgram();
    HANDLE process = Duplicate(program.process.get());
    std::thread poster([window, &program] {
        std::mt19937 random(42);
        std::uniform_int_distribution<int> pause(5, 60);
        for (int i = 0; i < kMessageRounds; ++i) {
            ::Sleep(static_cast<DWORD>(pause(random)));
            ::PostMessageW(window, kStampedMessage, 0, static_cast<LPARAM>(Now()));
            while (g_handled <= i)
                ::Sleep(1);
        }
        ::Sleep(150);
        program.input.Reset();
    });
    wait(process);
    poster.join();
    return g_messageLatencies;
}

// Time from the program's end (as a thread blocked on its handle sees it) to the wait's return.
std::vector<double> EndLatencies(const WaitFunction& wait) {
    std::vector<double> latencies;
    for (int i = 0; i < kEndRounds; ++i) {
        WaitingProgram program = StartWaitingProgram();
        HANDLE process = Duplicate(program.process.get());
        LONGLONG ended = 0;
        std::thread watcher([&program, &ended] {
            ::WaitForSingleObject(program.process.get(), INFINITE);
            ended = Now();
        });
        std::thread ender([&program, i] {
            ::Sleep(static_cast<DWORD>(200 + 7 * i));
            program.input.Reset();
        });
        wait(process);
        const LONGLONG returned = Now();
        ender.join();
        watcher.join();
        latencies.push_back(Milliseconds(returned - ended));
    }
    return latencies;
}

}  // namespace

int main() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = StampWindow;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuillonWaitBench";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    const WaitFunction responsive = [](HANDLE& process) { quillon::WaitForProcess(process); };
    const WaitFunction polling = PollingWait;

    Report("WaitForProcess: message posted -> handled", MessageLatencies(window, responsive));
    Report("blind poll:     message posted -> handled", MessageLatencies(window, polling));
    Report("WaitForProcess: program ended -> returned", EndLatencies(responsive));
    Report("blind poll:     program ended -> returned", EndLatencies(polling));
    ::DestroyWindow(window);
    return 0;
}

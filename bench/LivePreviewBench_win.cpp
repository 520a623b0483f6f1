// The live preview's figures, in the real window built in this process: a setting changed to
// its preview drawn with a large JPEG in the slot, the first preview after a JPEG is dropped,
// and the window's message round trip (from another thread) while previews run back to back.
// A measurement, run by bench/live-preview.sh; never a test.
//   quillon_live_preview_bench FOLDER ROUNDS JPEG...
// FOLDER holds the one-picture script "Sepia tone, warm and soft" (number setting TONE); each
// JPEG is a copy of the same picture under its own name, so that every drop is a new picture.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState_win.h"
#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "app/SettingRows.h"
#include "app/StartUp_win.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/ProgramFolder_win.h"
#include "base/Files_win.h"
#include "execution/PreviewRun_win.h"
#include "pictures/InputSlots.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/PictureReducer.h"

#include "BenchTiming.h"

namespace {

using namespace quillon;
using namespace quillon::bench;

constexpr wchar_t kPreviewStatus[] = L"Preview (reduced) \u2013 Execute makes the full picture";
constexpr double kPatienceMs = 120000;

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::wstring Status(HWND window) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(window, kOutputStatusId, text, 256);
    return text;
}

// Lets the window work until its status line shows a preview; the time from start to then,
// or -1 when it never does (or shows something else, which is printed).
double UntilPreview(HWND window, double start) {
    while (NowMs() - start < kPatienceMs) {
        Pump();
        const std::wstring status = Status(window);
        if (status == kPreviewStatus)
            return NowMs() - start;
        if (!status.empty()) {
            std::fprintf(stderr, "status: %ls\n", status.c_str());
            return -1;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return -1;
}

double Percentile(std::vector<double> values, int percent) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * percent / 100)];
}

void Print(const char* what, const std::vector<double>& values) {
    const Spread spread = Summarise(values);
    std::printf("%-48s n %3zu  median %7.1f ms  p90 %7.1f ms  p99 %7.1f ms  worst %7.1f ms\n", what,
                spread.count, spread.median, Percentile(values, 90), spread.p99, spread.worst);
}

// The process's working set, in megabytes.
double MemoryMb() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

bool ChooseScript(HWND window, const wchar_t* name) {
    HWND list = ::GetDlgItem(window, kScriptListId);
    const LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(name));
    if (index < 0)
        return false;
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
    Pump();
    return true;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 4) {
        std::fprintf(stderr, "usage: quillon_live_preview_bench FOLDER ROUNDS JPEG...\n");
        return 2;
    }
    std::string folder = NarrowToAnsiMarked(argv[1]);
    if (folder.back() != '\\')
        folder.push_back('\\');
    const int rounds = std::max(1, _wtoi(argv[2]));
    std::vector<std::string> jpegs;
    for (int i = 3; i < argc; ++i)
        jpegs.push_back(NarrowToAnsiMarked(argv[i]));

    BuildMenus();
    CreateInputSlots();
    StartPictureEngine();
    SetProgramFolderForTesting(folder);
    HWND window = CreateMainWindowModeless();
    HWND list = ::GetDlgItem(window, kScriptListId);
    const LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"Sepia tone, warm and soft"));
    if (window == nullptr || index < 0) {
        std::fprintf(stderr, "no window, or no sepia script in the folder\n");
        return 1;
    }
    if ((::GetMenuState(App().mainMenu, kCmdLivePreview, MF_BYCOMMAND) & MF_CHECKED) == 0)
        ::SendMessageW(window, WM_COMMAND, kCmdLivePreview, 0);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
    Pump();
    HWND tone = ::GetDlgItem(window, SettingControlId(0, SettingPart::Second));

    // A JPEG dropped: the slot's own reading, the quiet time, the reduced copy and the run.
    std::vector<double> firstPreview, slotFill;
    for (int r = 0; r <= rounds; ++r) {
        ::SetDlgItemTextW(window, kOutputStatusId, L"");
        const double start = NowMs();
        FillSlot(window, 1, jpegs[static_cast<std::size_t>(r) % jpegs.size()], 1);
        const double filled = NowMs() - start;
        const double took = UntilPreview(window, start);
        if (r > 0) {  // the first warms the file cache and ImageMagick's start
            firstPreview.push_back(took);
            slotFill.push_back(filled);
        }
    }

    // A setting changed with the picture in its slot: the quiet time and the run.
    int value = 10;
    const auto change = [&] {
        ::SetDlgItemTextW(window, kOutputStatusId, L"");
        value = value == 90 ? 10 : value + 1;
        const double start = NowMs();
        ::SetWindowTextW(tone, std::to_wstring(value).c_str());
        return UntilPreview(window, start);
    };
    std::vector<double> settingChanged;
    for (int r = 0; r < rounds * 4; ++r)
        settingChanged.push_back(change());

    // The round trip of a message sent from another thread while previews run back to back.
    std::atomic<bool> running{true};
    std::atomic<bool> stopped{false};
    std::vector<double> roundTrips;
    std::thread prober([&] {
        for (; running; stopped = !running) {
            DWORD_PTR answer = 0;
            const double start = NowMs();
            if (::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) != 0)
                roundTrips.push_back(NowMs() - start);
            ::Sleep(5);
        }
    });
    std::vector<double> backToBack;
    for (int r = 0; r < rounds * 4; ++r)
        backToBack.push_back(change());
    running = false;
    while (!stopped) {
        Pump();  // the last probe may wait for this thread
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    prober.join();

    // The preview's run alone (command interpreter and ImageMagick), without quiet time or
    // drawing, on a reduced copy of the same picture.
    std::vector<double> runAlone, copyAlone;
    {
        // The window's own reducer: a second one in this process would share its folder.
        PictureReducer& reducer = *App().pictureReducer;
        std::string copy;
        for (int r = 0; r < rounds; ++r) {
            DeleteFileAnsi(copy);
            const double start = NowMs();
            const Reduction reduced = reducer.Reduce(jpegs.front());
            copyAlone.push_back(NowMs() - start);
            copy = reduced.picture ? reduced.picture->copyPath : std::string();
        }
        PreviewRuns runs;
        PreviewRequest request;
        request.body = App().catalogue.At(App().currentScript).body;
        request.settings = {{"TONE", "50", false}};
        request.pictures = {{jpegs.front(), copy, {1024, 683}}};
        for (int r = 0; r < rounds * 2; ++r) {
            const double start = NowMs();
            const PreviewResult result = runs.Run(request, nullptr);
            runAlone.push_back(NowMs() - start);
            if (result.picture.empty())
                std::fprintf(stderr, "run alone: %s\n", result.problem.c_str());
        }
        DeleteFileAnsi(copy);
    }
    std::printf("picture: %s, %dx%d\n", jpegs.front().c_str(), InputSlots()[1].width,
                InputSlots()[1].height);
    Print("dropped JPEG to its first preview drawn:", firstPreview);
    Print("(of which the slot's own reading, FillSlot):", slotFill);
    Print("setting changed to its preview drawn:", settingChanged);
    Print("round trip while previews run back to back:", roundTrips);
    Print("(the previews meanwhile, change to drawn):", backToBack);
    Print("(a preview's run alone, no quiet time):", runAlone);
    Print("(the JPEG's reduced copy alone):", copyAlone);
    // Four pictures in the slots of a four-picture script with settings, with their reduced
    // copies and the preview drawn, against the same window with its slots empty.
    if (ChooseScript(window, L"Contact sheet, 2 x 2")) {
        const double idle = MemoryMb();
        ::SetDlgItemTextW(window, kOutputStatusId, L"");
        const double start = NowMs();
        for (int slot = 1; slot <= 4; ++slot)
            FillSlot(window, slot, jpegs[static_cast<std::size_t>(slot - 1) % jpegs.size()], 4);
        const double took = UntilPreview(window, start);
        const double held = MemoryMb();
        std::printf(
            "four JPEGs in a four-picture script: preview after %.1f ms; working set "
            "%.1f MB with the slots empty, %.1f MB with them (+%.1f MB)\n",
            took, idle, held, held - idle);
    }
    ::DestroyWindow(window);
    Pump();
    ::LocalFree(argv);
    return 0;
}

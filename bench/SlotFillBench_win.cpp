// How long a dropped picture takes from FillSlot to its drawn preview, against GDI+ only
// decoding the same file, how much memory four such pictures in the slots hold, and how long a
// resize step with them takes, laid out and painted.
// Then whether GDI objects, window-system objects and kernel handles come back to where they
// were after 1,000 slot layouts, 1,000 slot fills (of the small picture SMALL) and 100
// message boxes. A measurement, run by bench/slot-fill.sh; never a test.
//   quillon_slot_bench FOLDER PICTURE1 PICTURE2 PICTURE3 PICTURE4 ROUNDS SMALL
// FOLDER must hold a script named "Four pictures" that takes four pictures.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "app/StartUp_win.h"
#include "base/AnsiText_win.h"
#include "dialogs/MyMsgBox_win.h"
#include "pictures/InputSlots.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureEngine_win.h"

#include "BenchTiming.h"

namespace {

using namespace quillon::bench;

using namespace quillon;
namespace gdip = Gdiplus::DllExports;

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// QUILLON_SLOT_HIDE lists control ids (or says "all") to hide during the resize steps: a
// hidden control is still laid out but neither shown nor painted, so the steps tell what the
// window would cost with fewer child windows. Returns how many were hidden.
int HideControls(HWND window) {
    wchar_t list[256] = {};
    if (::GetEnvironmentVariableW(L"QUILLON_SLOT_HIDE", list, 256) == 0)
        return 0;
    const bool all = std::wstring(list) == L"all";
    int hidden = 0;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring id = L"," + std::to_wstring(::GetDlgCtrlID(child)) + L",";
        if (all || (L"," + std::wstring(list) + L",").find(id) != std::wstring::npos) {
            ::ShowWindow(child, SW_HIDE);
            ++hidden;
        }
    }
    return hidden;
}

// A drag that grows the window by 12 pixels a step and goes back, each step laid out and
// painted at once (the window and every control).
void ResizeSteps(HWND window, std::vector<double>& resized, std::vector<double>& painted) {
    RECT frame{};
    ::GetWindowRect(window, &frame);
    for (int i = 0; i < 200; ++i) {
        const int grow = (i % 20) * 12;
        const double start = NowMs();
        ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + grow,
                       frame.bottom - frame.top + grow / 2,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const double laidOut = NowMs();
        ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        resized.push_back(NowMs() - start);
        painted.push_back(NowMs() - laidOut);
    }
}

// The controls of the copy below, as made, and its client size then.
struct CopiedControl {
    HWND control;
    RECT made;
};
std::vector<CopiedControl>& CopiedControls() {
    static std::vector<CopiedControl> controls;
    return controls;
}
SIZE& CopiedClient() {
    static SIZE client{};
    return client;
}

// Moves the copy's controls as the window grows (each edge in proportion), without drawing a
// thing of its own, then has the window and every control painted, as the main window does.
LRESULT CALLBACK CopyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && CopiedClient().cx > 0) {
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        const auto across = [&](LONG x) { return ::MulDiv(x, width, CopiedClient().cx); };
        const auto down = [&](LONG y) { return ::MulDiv(y, height, CopiedClient().cy); };
        for (const CopiedControl& copied : CopiedControls()) {
            const RECT& r = copied.made;
            ::SetWindowPos(copied.control, nullptr, across(r.left), down(r.top),
                           across(r.right) - across(r.left), down(r.bottom) - down(r.top),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
        }
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window of the main window's size and styles and nothing of ours in it: what the system
// alone takes for a resize step. With its controls, it holds a control of the same class,
// style, text and place for each of the main window's visible ones.
HWND WindowLike(HWND window, bool withControls) {
    WNDCLASSW copy{};
    copy.lpfnWndProc = CopyProc;
    copy.hInstance = ::GetModuleHandleW(nullptr);
    copy.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    copy.lpszClassName = L"QuillonBenchCopy";
    ::RegisterClassW(&copy);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    HWND made = ::CreateWindowExW(
        static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)), copy.lpszClassName, L"",
        static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)) & ~WS_CHILD, frame.left,
        frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
        copy.hInstance, nullptr);
    CopiedControls().clear();
    CopiedClient() = {};
    for (HWND child = ::GetWindow(window, GW_CHILD); withControls && child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        wchar_t kind[64] = {};
        wchar_t text[256] = {};
        ::GetClassNameW(child, kind, 64);
        ::GetWindowTextW(child, text, 256);
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        HWND control =
            ::CreateWindowExW(static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_EXSTYLE)), kind,
                              text, static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE)),
                              place.left, place.top, place.right - place.left,
                              place.bottom - place.top, made, nullptr, copy.hInstance, nullptr);
        ::SendMessageW(control, WM_SETFONT, ::SendMessageW(child, WM_GETFONT, 0, 0), FALSE);
        CopiedControls().push_back({control, place});
    }
    RECT client{};
    ::GetClientRect(made, &client);
    CopiedClient() = {client.right, client.bottom};
    ::ShowWindow(made, SW_SHOWNOACTIVATE);
    Pump();
    return made;
}

struct Memory {
    double workingSetMb;
    double privateMb;
};

Memory ProcessMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    constexpr double kMb = 1024.0 * 1024.0;
    return {static_cast<double>(counters.WorkingSetSize) / kMb,
            static_cast<double>(counters.PrivateUsage) / kMb};
}

// GDI+ alone: open the file, then make it give up every pixel (a full decode).
void DecodeAlone(const std::wstring& path, std::vector<double>& open, std::vector<double>& full) {
    const double start = NowMs();
    Gdiplus::GpImage* image = nullptr;
    gdip::GdipLoadImageFromFile(path.c_str(), &image);
    PictureOwner owner(image);
    const double opened = NowMs();
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(image, &width);
    gdip::GdipGetImageHeight(image, &height);
    Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData pixels{};
    if (gdip::GdipBitmapLockBits(static_cast<Gdiplus::GpBitmap*>(image), &all,
                                 Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                 &pixels) == Gdiplus::Ok) {
        gdip::GdipBitmapUnlockBits(static_cast<Gdiplus::GpBitmap*>(image), &pixels);
    }
    const double decoded = NowMs();
    open.push_back(opened - start);
    full.push_back(decoded - start);
}

// Kernel handles the process holds. Wine's GetProcessHandleCount gives 0, so there the
// handle values are tried one by one: Wine hands out the lowest free multiple of four, so
// past the last handle in use a long run of free values follows.
long KernelHandles(const char** how) {
    DWORD count = 0;
    *how = "kernel handles (GetProcessHandleCount):";
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0)
        return static_cast<long>(count);
    *how = "kernel handles (handle values in use):";
    long found = 0;
    for (ULONG_PTR value = 4, free = 0; free < 4096; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++found;
            free = 0;
        } else {
            ++free;
        }
    }
    return found;
}

// The windows of this thread, children included: the window-system objects a layout makes
// and destroys (Wine's GetGuiResources counts none).
long ThreadWindows() {
    long count = 0;
    const auto countChildren = [](HWND, LPARAM data) -> BOOL {
        ++*reinterpret_cast<long*>(data);
        return TRUE;
    };
    struct Walk {
        long* count;
        WNDENUMPROC children;
    } walk{&count, countChildren};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            const Walk& w = *reinterpret_cast<const Walk*>(data);
            ++*w.count;
            ::EnumChildWindows(window, w.children, reinterpret_cast<LPARAM>(w.count));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return count;
}

struct Census {
    long gdiObjects;   // GetGuiResources; 0 where the system does not count them
    long userObjects;  // the same
    long handles;
    long windows;
    long owned;               // GDI objects and GDI+ pictures our own owners hold
    const char* handleCount;  // how the handles were counted
};

Census TakeCensus() {
    HANDLE self = ::GetCurrentProcess();
    Census census{};
    census.gdiObjects = static_cast<long>(::GetGuiResources(self, GR_GDIOBJECTS));
    census.userObjects = static_cast<long>(::GetGuiResources(self, GR_USEROBJECTS));
    census.handles = KernelHandles(&census.handleCount);
    census.windows = ThreadWindows();
    census.owned = LiveGdiOwned() + PictureOwner::Live();
    return census;
}

// Answers each message box as soon as it is up, with its first button.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (!::IsWindowVisible(window) || ::GetDlgItem(window, kMsgBoxFirstButtonId) == nullptr)
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (box == nullptr)
        return;
    ::KillTimer(nullptr, timer);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(kMsgBoxFirstButtonId, BN_CLICKED), 0);
}

// 1,000 layouts and fills (each script size in turn, its last slot filled) and 100 message
// boxes, after one round of each (first uses fill caches that live as long as the process).
void PrintResourceGrowth(HWND window, const std::string& small) {
    const auto layoutAndFill = [&](int i) {
        const int argCount = 1 + i % 4;
        LayoutSlots(window, argCount);
        FillSlot(window, argCount, small, argCount);
        Pump();
    };
    const auto messageBox = [&] {
        ::SetTimer(nullptr, 0, 10, AnswerMessageBox);
        MyMsgBox(window, "Counting what a message box leaves behind.", "Quillon",
                 MB_OK | MB_ICONINFORMATION, "");
        Pump();
    };
    for (int i = 0; i < 4; ++i)
        layoutAndFill(i);
    messageBox();
    layoutAndFill(3);
    const Census before = TakeCensus();
    for (int i = 0; i < 1000; ++i)
        layoutAndFill(i);
    for (int i = 0; i < 100; ++i)
        messageBox();
    layoutAndFill(3);
    const Census after = TakeCensus();
    const auto row = [](const char* what, long was, long is) {
        std::printf("%-48s %6ld before, %6ld after (%+ld)\n", what, was, is, is - was);
        return is - was;
    };
    std::printf("after 1,000 layouts, 1,000 slot fills and 100 message boxes:\n");
    long growth = 0;
    if (before.gdiObjects > 0) {
        growth = std::max(
            growth, row("GDI objects (GetGuiResources):", before.gdiObjects, after.gdiObjects));
        growth = std::max(
            growth,
            row("window-system objects (GetGuiResources):", before.userObjects, after.userObjects));
    } else {
        std::printf("GDI objects (GetGuiResources): not reported by this system\n");
    }
    growth = std::max(growth,
                      row("GDI objects and pictures our owners hold:", before.owned, after.owned));
    growth = std::max(growth, row("windows of the thread:", before.windows, after.windows));
    growth = std::max(growth, row(after.handleCount, before.handles, after.handles));
    std::printf("largest growth: %ld\n", growth);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 8) {
        std::fprintf(stderr, "usage: quillon_slot_bench FOLDER P1 P2 P3 P4 ROUNDS SMALL\n");
        return 2;
    }
    std::string folder = NarrowToAnsiMarked(argv[1]);
    if (folder.back() != '\\')
        folder.push_back('\\');
    std::vector<std::string> pictures;
    for (int i = 2; i <= 5; ++i)
        pictures.push_back(NarrowToAnsiMarked(argv[i]));
    const int rounds = std::max(1, _wtoi(argv[6]));
    const std::string small = NarrowToAnsiMarked(argv[7]);

    BuildMenus();
    CreateInputSlots();
    StartPictureEngine();
    SetProgramFolderForTesting(folder);
    HWND window = CreateMainWindowModeless();
    HWND list = ::GetDlgItem(window, kScriptListId);
    const LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"Four pictures"));
    if (window == nullptr || index < 0) {
        std::fprintf(stderr, "no window, or no script \"Four pictures\" in the folder\n");
        return 1;
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
    Pump();

    const std::wstring first = WidenAnsi(pictures[0]);
    std::vector<double> open, full, fill;
    DecodeAlone(first, open, full);  // warms the decoder and the file cache
    open.clear();
    full.clear();
    // The two are timed in turn, round by round, so that whatever else the machine is doing
    // weighs on both alike and their ratio stays fair.
    for (int r = 0; r < rounds; ++r) {
        DecodeAlone(first, open, full);
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(list));  // empties the slots: no release is timed
        Pump();
        const double start = NowMs();
        FillSlot(window, 1, pictures[0], 4);
        fill.push_back(NowMs() - start);
        Pump();
    }

    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
    Pump();
    const Memory before = ProcessMemory();
    for (int slot = 1; slot <= 4; ++slot)
        FillSlot(window, slot, pictures[static_cast<std::size_t>(slot - 1)], 4);
    Pump();
    const Memory after = ProcessMemory();
    const bool runnable = ::IsWindowEnabled(::GetDlgItem(window, kExecuteButtonId)) != FALSE;

    // The steps of a live resize with the four pictures, each laid out and painted at once
    // (the window and every control), from the pictures already decoded: a drag that grows
    // the window by 12 pixels a step and goes back.
    const int hidden = HideControls(window);
    std::vector<double> resized;
    std::vector<double> painted;  // the part after SetWindowPos (which lays out) returned
    ResizeSteps(window, resized, painted);
    std::vector<double> bareResized;
    std::vector<double> barePainted;
    HWND bare = WindowLike(window, false);
    ResizeSteps(bare, bareResized, barePainted);
    ::DestroyWindow(bare);
    std::vector<double> copyResized;
    std::vector<double> copyPainted;
    HWND copy = WindowLike(window, true);
    const std::size_t copiedControls = CopiedControls().size();
    ResizeSteps(copy, copyResized, copyPainted);
    ::DestroyWindow(copy);
    const Spread resizeTime = Summarise(resized);
    const Spread paintTime = Summarise(painted);

    const Spread openTime = Summarise(open);
    const Spread fullTime = Summarise(full);
    const Spread fillTime = Summarise(fill);
    const InputSlot& slot = InputSlots()[1];
    std::printf("picture: %s (%dx%d), %d rounds\n", pictures[0].c_str(), slot.width, slot.height,
                rounds);
    std::printf("GDI+ open only (GdipLoadImageFromFile):     best %8.1f ms   median %8.1f ms\n",
                openTime.best, openTime.median);
    std::printf("GDI+ full decode (open + read every pixel): best %8.1f ms   median %8.1f ms\n",
                fullTime.best, fullTime.median);
    std::printf("FillSlot to drawn preview:                  best %8.1f ms   median %8.1f ms\n",
                fillTime.best, fillTime.median);
    std::printf("FillSlot median / GDI+ full decode median: %.2f   / GDI+ open only median: %.2f\n",
                fillTime.median / fullTime.median, fillTime.median / openTime.median);
    const PixelSize held = PictureSize(SlotImage(slot));
    std::printf("slot 1 holds %dx%d pixels for its %dx%d picture\n", held.width, held.height,
                slot.width, slot.height);
    std::printf("working set: %.1f MB with empty slots, %.1f MB with four pictures (+%.1f MB)\n",
                before.workingSetMb, after.workingSetMb, after.workingSetMb - before.workingSetMb);
    if (after.privateMb > 0.0) {
        std::printf(
            "private bytes: %.1f MB with empty slots, %.1f MB with four pictures (+%.1f MB)\n",
            before.privateMb, after.privateMb, after.privateMb - before.privateMb);
    } else {
        std::printf("private bytes: not reported by this system\n");
    }
    std::printf("execute button enabled with four pictures: %s\n", runnable ? "yes" : "no");
    std::printf(
        "resize step, laid out and painted:          median %6.1f ms   p99 %6.1f ms  (%s)\n",
        resizeTime.median, resizeTime.p99,
        ::IsWindowVisible(window) ? "window shown" : "window hidden");
    std::printf("  of it painting the window and its controls: median %6.1f ms\n",
                paintTime.median);
    const Spread bareTime = Summarise(bareResized);
    std::printf("  a bare window of its size and styles, no controls: median %6.1f ms\n",
                bareTime.median);
    std::printf("  the same with a plain copy of its %zu controls:     median %6.1f ms\n",
                copiedControls, Summarise(copyResized).median);
    if (hidden > 0)
        std::printf("  with %d controls hidden (QUILLON_SLOT_HIDE)\n", hidden);
    PrintResourceGrowth(window, small);
    ::DestroyWindow(window);
    ::LocalFree(argv);
    return 0;
}

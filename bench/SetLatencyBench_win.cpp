// How quickly does the real Quillon.exe answer a message from another process while a set of
// 60 photos runs in slot 1, against the same round trip while it is idle? Run by hand:
//   bench/set-latency.sh
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "pictures/InputSlots.h"
#include "support/MainWindowHarness_win.h"
#include "support/RunningQuillon_win.h"

namespace {

using namespace quillon;

double RoundTripMs(HWND window) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    ::QueryPerformanceCounter(&end);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-22s n=%5zu  median %7.3f ms  p99 %7.3f ms  worst %8.3f ms\n", what, ms.size(),
                ms.at(ms.size() / 2), ms.at(ms.size() * 99 / 100), ms.back());
}

}  // namespace

int main() {
    testing::TempFolder folder;
    std::filesystem::create_directory(folder.path() / L"set");
    std::vector<std::wstring> names;
    for (int i = 1; i <= 60; ++i) {
        names.push_back(L"p" + std::to_wstring(i) + L".jpg");
        std::filesystem::copy_file(testing::TestPicture("photo.jpg"),
                                   folder.path() / L"set" / names.back());
    }
    testing::RunningQuillon quillon(
        folder.path(),
        "<script args=\"1\" name=\"Half\">\r\n"
        "convert $NAME1.$EXT1 -resize 50% $NAME1_h.jpg\r\n</script>\r\n");
    quillon.ChooseFirstScript();
    if (!quillon.FillSlotOne(folder.path() / L"set", names))
        return std::fprintf(stderr, "slot 1 did not take the set\n"), 1;
    std::vector<double> idle, running;
    for (int i = 0; i < 300; ++i)
        idle.push_back(RoundTripMs(quillon.window()));
    quillon.Execute();
    quillon.AnswerMessage(1);
    for (HWND progress = quillon.WaitForPopUp(L"Half"); ::IsWindow(progress); ::Sleep(5))
        running.push_back(RoundTripMs(quillon.window()));
    std::printf("summary: %s\n", quillon.AnswerMessage(1).c_str());
    Print("idle window", idle);
    Print("while the set runs", running);
    return quillon.Close() == 0 ? 0 : 1;
}

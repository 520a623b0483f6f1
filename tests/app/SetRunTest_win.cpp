// Many pictures in slot 1 through the real Quillon.exe: chosen together in the chooser,
// asked about once, run under a progress window, summed up, and cancelled part-way.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "dialogs/MyMsgBox_win.h"
#include "pictures/InputSlots.h"
#include "support/MainWindowHarness_win.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::RunningQuillon;
using testing::WaitUntil;

constexpr char kScript[] =
    "<script args=\"1\" name=\"Small flipped\">\r\n"
    "convert $NAME1.$EXT1 -scale 10% tmp_small.png\r\n"
    "convert tmp_small.png -flip $NAME1_out.bmp\r\n</script>\r\n";

class SetInTheWindow : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directory(pictures()); }
    fs::path pictures() const { return folder.path() / L"pictures"; }
    std::vector<std::wstring> Copies(const char* source, std::vector<std::wstring> stems,
                                     int count) const {
        std::vector<std::wstring> names;
        for (int i = 1; i <= count * static_cast<int>(stems.size()); ++i) {
            names.push_back(stems[static_cast<std::size_t>(i - 1) / count] + std::to_wstring(i) +
                            fs::path(source).extension().wstring());
            fs::copy_file(testing::TestPicture(source), pictures() / names.back());
        }
        return names;
    }
    // The outputs made, all of which must be whole (equal to each other's bytes); once the
    // set has ended, no work folder may be left either.
    int WholeOutputs(bool ended) const {
        int made = 0;
        std::string first;
        for (const fs::directory_entry& entry : fs::directory_iterator(pictures())) {
            const std::wstring name = entry.path().filename().wstring();
            EXPECT_TRUE(!ended || name.find(L"~quillon") == std::wstring::npos) << entry.path();
            if (name.find(L"_out.bmp") == std::wstring::npos)
                continue;
            const std::string bytes = testing::ReadBytes(entry.path());
            // The move that has just placed an output holds it a moment longer, and nothing
            // can open it then; once the set has ended every output must read whole.
            if (bytes.empty() && !ended)
                continue;
            if (made++ == 0)
                first = bytes;
            EXPECT_TRUE(!bytes.empty() && bytes == first) << "partial output " << entry.path();
        }
        return made;
    }

    testing::TempFolder folder;
};

TEST_F(SetInTheWindow, ChosenTogetherAskedOnceShownInProgressAndSummedUp) {
    const std::vector<std::wstring> names = Copies("tall.png", {L"a b&c ", L"caf\u00e9%^"}, 3);
    RunningQuillon quillon(folder.path(), kScript);
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(quillon.FillSlotOne(pictures(), names)) << quillon.Text(kInputStatusId);
    // Screen readers are told each time the progress line changes (the events wait in this
    // thread's queue until it is pumped).
    static int liveChanges = 0;
    DWORD process = 0;
    ::GetWindowThreadProcessId(quillon.window(), &process);
    const std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, decltype(&::UnhookWinEvent)> hook(
        ::SetWinEventHook(
            0x8019, 0x8019, nullptr,
            [](HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { ++liveChanges; }, process, 0,
            WINEVENT_OUTOFCONTEXT),
        &::UnhookWinEvent);
    quillon.Execute();
    // Asked to keep each picture's date on its output.
    HWND question = quillon.WaitForPopUp(L"Quillon");
    ::SendMessageW(::GetDlgItem(question, kMsgBoxFirstCheckId), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(quillon.AnswerMessage(1),
              NarrowToAnsiMarked(L"Run \u00abSmall flipped\u00bb on 6 pictures?"));
    HWND progress = quillon.WaitForPopUp(L"Small flipped");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(::GetWindow(progress, GW_OWNER), quillon.window());
    EXPECT_NE(::FindWindowExW(progress, nullptr, PROGRESS_CLASSW, nullptr), nullptr);
    EXPECT_EQ(quillon.AnswerMessage(1), "6 pictures created, 0 failed.");
    testing::PumpMessages();
    EXPECT_GE(liveChanges, 1);
    EXPECT_EQ(WholeOutputs(true), 6);
    for (const std::wstring& name : names) {
        const fs::path output = pictures() / (fs::path(name).stem().wstring() + L"_out.bmp");
        EXPECT_EQ(fs::last_write_time(output), fs::last_write_time(pictures() / name)) << output;
    }
    EXPECT_TRUE(fs::exists(pictures() / L"Quillon batch log.txt"));
    ASSERT_TRUE(WaitUntil([&] {
        return quillon.Text(kOutputStatusId).find("_out.bmp created") != std::string::npos;
    })) << quillon.Text(kOutputStatusId);
    EXPECT_EQ(quillon.Close(), 0);
}

TEST_F(SetInTheWindow, CancelPartWayLeavesOnlyWholeOutputsAndTheWindowUsable) {
    const std::vector<std::wstring> names = Copies("large.png", {L"big "}, 24);
    RunningQuillon quillon(folder.path(), kScript);
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(quillon.FillSlotOne(pictures(), names)) << quillon.Text(kInputStatusId);
    quillon.Execute();
    quillon.AnswerMessage(1);
    HWND progress = quillon.WaitForPopUp(L"Small flipped");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return WholeOutputs(false) > 0; }));
    ::PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    const std::string summary = quillon.AnswerMessage(1);
    EXPECT_EQ(summary.rfind("Cancelled after ", 0), 0u) << summary;
    EXPECT_LT(WholeOutputs(true), 24);
    EXPECT_FALSE(fs::exists(pictures() / L"script.bat") || fs::exists(pictures() / L"temp.bat"));
    // Still usable: the next Execute asks again, knowing what the first run made.
    quillon.Execute();
    const std::string again = quillon.AnswerMessage(3);
    EXPECT_EQ(again.rfind(NarrowToAnsiMarked(L"Run \u00abSmall flipped\u00bb on 24 pictures?"), 0),
              0u)
        << again;
    EXPECT_NE(again.find("of 24 pictures already have their output"), std::string::npos) << again;
    EXPECT_EQ(quillon.Close(), 0);
}

}  // namespace
}  // namespace quillon

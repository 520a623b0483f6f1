// The live preview in the real window, with the real command interpreter and ImageMagick of
// the test prefix: a script with a number setting previews its picture, follows the value,
// shows the picture as it was while held, writes nothing beside it, and stays away when off.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "app/AppState_win.h"
#include "app/LivePreview_win.h"
#include "app/MenuIds.h"
#include "app/SettingRows.h"
#include "base/ControlIds.h"
#include "base/Handles_win.h"
#include "pictures/InputSlots.h"
#include "pictures/PictureArea_win.h"
#include "support/MainWindowHarness_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::MainWindowHarness;
using testing::PumpUntil;

// Red at 0 %, blue at 100 %; with WAIT 1, a preview that nothing ends would hold the next
// one back for minutes; at 7 % it deletes the picture it is given, and fails.
constexpr char kScript[] =
    "<script args=\"1\" name=\"Tint\">\r\n"
    "<param name=\"AMOUNT\" label=\"Amount\" type=\"number\" min=\"0\" max=\"100\" "
    "default=\"0\"/>\r\n"
    "<param name=\"WAIT\" label=\"Wait\" type=\"number\" min=\"0\" max=\"1\" default=\"0\"/>\r\n"
    "if $WAIT==1 ping -n 300 127.0.0.1 > nul\r\n"
    "if $AMOUNT==7 del $NAME.$EXT\r\n"
    "convert $NAME.$EXT -fill #0000ff -colorize $AMOUNT% $NAME_tint.png\r\n"
    "</script>\r\n";
constexpr wchar_t kPreviewStatus[] = L"Preview (reduced) \u2013 Execute makes the full picture";

std::set<fs::path> FilesIn(const fs::path& folder) {
    std::set<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files.insert(entry.path().filename());
    return files;
}

bool LiveOn() {
    return (::GetMenuState(App().mainMenu, kCmdLivePreview, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool PingRuns() {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W process{};
    process.dwSize = sizeof(process);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &process); more;
         more = ::Process32NextW(snapshot.get(), &process)) {
        if (_wcsicmp(process.szExeFile, L"ping.exe") == 0)
            return true;
    }
    return false;
}

// The script chosen, live preview on, and a red picture of the test's own in its slot.
class LivePreview : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.folder().Write("tint.xml", kScript);
        fs::copy_file(testing::TestPicture("small.gif"), pictures.path() / "dot.gif");
        before = FilesIn(pictures.path());
        ASSERT_NE(harness.Open(), nullptr);
        if (!LiveOn())
            ::SendMessageW(harness.window(), WM_COMMAND, kCmdLivePreview, 0);
        ASSERT_TRUE(harness.ChooseScript("Tint"));
        harness.DropOn(kFirstSlotId, {(pictures.path() / "dot.gif").wstring()});
    }
    bool Previewed() const {
        wchar_t status[128] = {};
        ::GetDlgItemTextW(harness.window(), kOutputStatusId, status, 128);
        return std::wstring(status) == kPreviewStatus;
    }
    COLORREF Centre() const {
        HWND area = harness.Control(kOutputPictureId);
        const PixelSize size = PictureAreaSize(area);
        return ::GetPixel(PictureAreaDc(area), size.width / 2, size.height / 2);
    }
    void Type(int row, const wchar_t* value) const {
        ::SetWindowTextW(harness.Control(SettingControlId(row, SettingPart::Second)), value);
    }
    MainWindowHarness harness;
    const testing::TempFolder pictures;
    std::set<fs::path> before;
};

TEST_F(LivePreview, FollowsTheValueShowsThePictureAsItWasAndStaysAwayWhenOff) {
    HWND area = harness.Control(kOutputPictureId);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return Previewed() && Centre() == RGB(255, 0, 0); }))
        << harness.Text(kOutputStatusId);
    const auto firstTook = std::chrono::steady_clock::now() - started;

    Type(0, L"100");
    EXPECT_TRUE(PumpUntil([&] { return Previewed() && Centre() == RGB(0, 0, 255); }));
    ::SendMessageW(area, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Centre(), RGB(255, 0, 0)) << "held: the picture as it was";
    ::SendMessageW(area, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Centre(), RGB(0, 0, 255));
    EXPECT_EQ(FilesIn(pictures.path()), before) << "nothing is written beside the picture";

    // Off: the preview goes at once, and a change brings none back; kept for the next start.
    ::SendMessageW(harness.window(), WM_COMMAND, kCmdLivePreview, 0);
    EXPECT_FALSE(LiveOn());
    EXPECT_FALSE(Previewed());
    Type(0, L"50");
    const auto waitUntil =
        std::chrono::steady_clock::now() + std::max<std::chrono::nanoseconds>(2 * firstTook, 1s);
    PumpUntil([&] { return Previewed() || std::chrono::steady_clock::now() > waitUntil; });
    EXPECT_FALSE(Previewed());
    EXPECT_FALSE(LivePreviewKeptOn());
    ::SendMessageW(harness.window(), WM_COMMAND, kCmdLivePreview, 0);
    EXPECT_TRUE(LiveOn());
    EXPECT_TRUE(LivePreviewKeptOn());
}

TEST_F(LivePreview, ANewerChangeEndsTheRunningPreviewAndItsProcessesAndAFailureIsSaid) {
    ASSERT_TRUE(PumpUntil([&] { return Previewed(); }));
    Type(1, L"1");
    ASSERT_TRUE(PumpUntil(PingRuns)) << "the slow preview runs";
    ::SetDlgItemTextW(harness.window(), kOutputStatusId, L"");
    Type(0, L"100");
    Type(1, L"0");
    EXPECT_TRUE(PumpUntil([&] { return Previewed() && Centre() == RGB(0, 0, 255); }));
    EXPECT_TRUE(PumpUntil([] { return !PingRuns(); }));

    // A failing preview says ImageMagick's first line in the status line; the picture the
    // script deleted was the preview's own copy.
    Type(0, L"7");
    EXPECT_TRUE(PumpUntil([&] {
        return harness.Text(kOutputStatusId).find("unable to open image") != std::string::npos;
    })) << harness.Text(kOutputStatusId);
    EXPECT_FALSE(Previewed());
    EXPECT_EQ(FilesIn(pictures.path()), before);
}

}  // namespace
}  // namespace quillon

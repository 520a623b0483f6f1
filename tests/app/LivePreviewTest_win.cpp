// The live preview in the real window, with the real command interpreter and ImageMagick of
// the test prefix: a script with a number setting previews its picture, follows the value,
// shows the picture as it was while held, writes nothing beside it, and stays away when off.
#include <gtest/gtest.h>

#include <windows.h>

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

// Red at 0 %, blue at 100 %.
constexpr char kScript[] =
    "<script args=\"1\" name=\"Tint\">\r\n"
    "<param name=\"AMOUNT\" label=\"Amount\" type=\"number\" min=\"0\" max=\"100\" "
    "default=\"0\"/>\r\n"
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

TEST(LivePreview, FollowsTheValueShowsThePictureAsItWasAndStaysAwayWhenOff) {
    MainWindowHarness harness;
    harness.folder().Write("tint.xml", kScript);
    const testing::TempFolder pictures;
    fs::copy_file(testing::TestPicture("small.gif"), pictures.path() / "dot.gif");
    const std::set<fs::path> before = FilesIn(pictures.path());
    ASSERT_NE(harness.Open(), nullptr);
    if (!LiveOn())
        ::SendMessageW(harness.window(), WM_COMMAND, kCmdLivePreview, 0);
    ASSERT_TRUE(harness.ChooseScript("Tint"));
    harness.DropOn(kFirstSlotId, {(pictures.path() / "dot.gif").wstring()});

    HWND area = harness.Control(kOutputPictureId);
    const RECT box = testing::ControlRect(area);
    const auto centre = [&] {
        return ::GetPixel(PictureAreaDc(area), (box.right - box.left) / 2,
                          (box.bottom - box.top) / 2);
    };
    const auto previewed = [&] {
        wchar_t status[128] = {};
        ::GetDlgItemTextW(harness.window(), kOutputStatusId, status, 128);
        return std::wstring(status) == kPreviewStatus;
    };
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return previewed() && centre() == RGB(255, 0, 0); }))
        << harness.Text(kOutputStatusId);
    const auto firstTook = std::chrono::steady_clock::now() - started;

    HWND amount = harness.Control(SettingControlId(0, SettingPart::Second));
    ::SetWindowTextW(amount, L"100");
    EXPECT_TRUE(PumpUntil([&] { return previewed() && centre() == RGB(0, 0, 255); }));
    ::SendMessageW(area, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(centre(), RGB(255, 0, 0)) << "held: the picture as it was";
    ::SendMessageW(area, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(centre(), RGB(0, 0, 255));
    EXPECT_EQ(FilesIn(pictures.path()), before) << "nothing is written beside the picture";

    // Off: the preview goes at once, and a change brings none back; kept for the next start.
    ::SendMessageW(harness.window(), WM_COMMAND, kCmdLivePreview, 0);
    EXPECT_FALSE(LiveOn());
    EXPECT_FALSE(previewed());
    ::SetWindowTextW(amount, L"50");
    const auto waitUntil =
        std::chrono::steady_clock::now() + std::max<std::chrono::nanoseconds>(2 * firstTook, 1s);
    PumpUntil([&] { return previewed() || std::chrono::steady_clock::now() > waitUntil; });
    EXPECT_FALSE(previewed());
    EXPECT_FALSE(LivePreviewKeptOn());
    ::SendMessageW(harness.window(), WM_COMMAND, kCmdLivePreview, 0);
    EXPECT_TRUE(LiveOn());
    EXPECT_TRUE(LivePreviewKeptOn());
}

}  // namespace
}  // namespace quillon

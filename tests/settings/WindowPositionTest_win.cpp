// The main window of the real Quillon.exe reopens where it was closed, from the position
// file in the local application-data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/Printing.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

using testing::operator<<;

namespace fs = std::filesystem;

POINT CornerOf(HWND window) {
    RECT outer{};
    ::GetWindowRect(window, &outer);
    return {outer.left, outer.top};
}

// Where a window of this size opens without a stored position: centred on the work area.
POINT CentredCorner(HWND window) {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer{};
    ::GetWindowRect(window, &outer);
    return {work.left + (work.right - work.left - (outer.right - outer.left)) / 2,
            work.top + (work.bottom - work.top - (outer.bottom - outer.top)) / 2};
}

void MoveTo(HWND window, int x, int y) {
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class WindowPosition : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove(testing::QuillonPositionFile());
        fs::remove(SizeFile());
    }
    void TearDown() override {
        quillon_.reset();  // waits for the program, whose close writes the file once more
        fs::remove(testing::QuillonPositionFile());
        fs::remove(SizeFile());  // a larger window would upset every later test's layout
    }
    static fs::path SizeFile() {
        return fs::path(testing::QuillonPositionFile()).replace_extension(".size");
    }
    HWND Start() {
        quillon_.emplace(folder_.path(), testing::RunningQuillon::Files{});
        return quillon_->window();
    }
    void WritePositionFile(const std::string& text) {
        std::ofstream(testing::QuillonPositionFile(), std::ios::binary) << text;
    }
    std::string PositionFileText() { return testing::ReadBytes(testing::QuillonPositionFile()); }

    testing::TempFolder folder_;
    std::optional<testing::RunningQuillon> quillon_;
};

TEST_F(WindowPosition, FirstRunOpensCentredAndTheNextOpensWhereTheWindowWasClosed) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const POINT centred = CentredCorner(window);
    EXPECT_EQ(CornerOf(window).x, centred.x);
    EXPECT_EQ(CornerOf(window).y, centred.y);
    EXPECT_FALSE(fs::exists(testing::QuillonPositionFile()));

    MoveTo(window, -8, 20);
    EXPECT_EQ(quillon_->Close(), 0);
    EXPECT_EQ(PositionFileText(), "-8 \r\n 20 \r\n");

    window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CornerOf(window).x, -8);
    EXPECT_EQ(CornerOf(window).y, 20);
}

TEST_F(WindowPosition, ClosingWhileMinimisedKeepsThePositionStoredBeforeMinimising) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    MoveTo(window, 50, 60);
    ::PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(testing::WaitUntil([&] { return ::IsIconic(window) != FALSE; }));
    EXPECT_EQ(quillon_->Close(), 0);
    EXPECT_EQ(PositionFileText(), " 50 \r\n 60 \r\n");
}

PixelRect RectOf(HWND window, int id) {
    HWND control = ::GetDlgItem(window, id);
    RECT outer{};
    ::GetWindowRect(control, &outer);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&outer), 2);
    return {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
}

void SetClientSize(HWND window, int width, int height) {
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

PixelSize ClientOf(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// 200 x 100 pixels more: each picture column takes half the width and all the height, and the
// two slots of a two-picture script stay halves of theirs; the size and the maximised state
// are back at the next start.
TEST_F(WindowPosition, AResizeGrowsThePicturesAndTheSizeComesBack) {
    folder_.Write("two.xml",
                  "<script args=\"2\" name=\"Two\">\r\nconvert a b out.png\r\n</script>\r\n");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_NE(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_EQ(ClientOf(window), (PixelSize{516, 280}));
    quillon_->ChooseScript(1);
    SetClientSize(window, 716, 380);
    EXPECT_EQ(RectOf(window, 1101), (PixelRect{8, 40, 167, 316}));    // slot 1 of 2
    EXPECT_EQ(RectOf(window, 1102), (PixelRect{181, 40, 167, 316}));  // slot 2 of 2
    EXPECT_EQ(RectOf(window, 1004), (PixelRect{364, 40, 340, 317}));  // output
    EXPECT_EQ(RectOf(window, 1001).width, 340);                       // script list
    EXPECT_EQ(RectOf(window, 1003), (PixelRect{8, 358, 340, 18}));    // input status
    EXPECT_EQ(RectOf(window, 1002), (PixelRect{364, 8, 24, 24}));     // pen
    EXPECT_EQ(RectOf(window, 1006), (PixelRect{390, 8, 314, 24}));    // execute
    EXPECT_EQ(RectOf(window, 1007), (PixelRect{693, 357, 24, 24}));   // menu
    EXPECT_EQ(quillon_->Close(), 0);
    EXPECT_EQ(testing::ReadBytes(SizeFile()), " 716 \r\n 380 \r\n 0 \r\n");

    window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClientOf(window), (PixelSize{716, 380}));
    ::ShowWindow(window, SW_MAXIMIZE);
    ASSERT_TRUE(testing::WaitUntil([&] { return ::IsZoomed(window) != FALSE; }));
    EXPECT_EQ(quillon_->Close(), 0);
    EXPECT_EQ(testing::ReadBytes(SizeFile()), " 716 \r\n 380 \r\n 1 \r\n");
    window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsZoomed(window));
}

struct StoredCase {
    const char* name;
    const char* file;
    std::optional<POINT> restored;  // none: the window stays centred
};

class StoredPosition : public WindowPosition, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredPosition, MovesTheWindowOnlyWhereItsTitleBarCanBeReached) {
    WritePositionFile(GetParam().file);
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const POINT expected = GetParam().restored.value_or(CentredCorner(window));
    EXPECT_EQ(CornerOf(window).x, expected.x);
    EXPECT_EQ(CornerOf(window).y, expected.y);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredPosition,
    ::testing::Values(StoredCase{"PartlyOffTheLeftEdge", "-8 \r\n 20 \r\n", POINT{-8, 20}},
                      StoredCase{"OneLineGivesYZero", " 100 \r\n", POINT{100, 0}},
                      StoredCase{"TrailingTextIgnored", " 40 px\r\n 30 px\r\n", POINT{40, 30}},
                      StoredCase{"FarOffScreen", " 30000 \r\n 30000 \r\n", std::nullopt},
                      StoredCase{"FarLeft", "-30000 \r\n 20 \r\n", std::nullopt},
                      StoredCase{"TitleBarAboveTheScreen", " 100 \r\n-400 \r\n", std::nullopt}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

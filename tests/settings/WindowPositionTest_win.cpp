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
    void SetUp() override { fs::remove(testing::QuillonPositionFile()); }
    void TearDown() override {
        quillon_.reset();  // waits for the program, whose close writes the file once more
        fs::remove(testing::QuillonPositionFile());
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

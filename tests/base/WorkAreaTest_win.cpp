// The work area a window is placed on: its own monitor's, never simply the primary one's.
#include "base/WorkArea_win.h"

#include <gtest/gtest.h>

#include <ostream>

#include "support/Printing.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

// What the system reports as the primary monitor's work area.
PixelRect PrimaryWorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {work.left, work.top, work.right - work.left, work.bottom - work.top};
}

class WindowAt {
  public:
    WindowAt(int x, int y, int width, int height)
        : window_(::CreateWindowExW(0, L"STATIC", L"Placed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                                    width, height, nullptr, nullptr, nullptr, nullptr)) {}
    ~WindowAt() { ::DestroyWindow(window_); }
    WindowAt(const WindowAt&) = delete;
    WindowAt& operator=(const WindowAt&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_;
};

TEST(WorkAreaNear, NoWindowGivesThePrimaryMonitorsWorkArea) {
    const PixelRect primary = PrimaryWorkArea();
    ASSERT_GT(primary.width, 0);
    EXPECT_EQ(WorkAreaNear(nullptr), primary);
}

TEST(WorkAreaNear, AWindowOnThePrimaryMonitorGivesItsWorkArea) {
    const PixelRect primary = PrimaryWorkArea();
    WindowAt window(primary.x + 50, primary.y + 50, 300, 200);
    ASSERT_NE(window.get(), nullptr);
    EXPECT_EQ(WorkAreaNear(window.get()), primary);
}

class WorkAreaOnTheSecondMonitor : public ::testing::Test {
  protected:
    void SetUp() override { testing::SecondWorkAreaOrSkip(&second_); }
    PixelRect second_;
};

TEST_F(WorkAreaOnTheSecondMonitor, AWindowThereGivesThatMonitorsWorkArea) {
    WindowAt window(second_.x + 40, second_.y + 40, 300, 200);
    ASSERT_NE(window.get(), nullptr);
    EXPECT_EQ(WorkAreaNear(window.get()), second_);
    EXPECT_FALSE(WorkAreaNear(window.get()) == PrimaryWorkArea());
}

TEST_F(WorkAreaOnTheSecondMonitor, AMinimisedWindowCountsWhereItComesBack) {
    WindowAt window(second_.x + 40, second_.y + 40, 300, 200);
    ASSERT_NE(window.get(), nullptr);
    ::ShowWindow(window.get(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(window.get()));
    EXPECT_EQ(WorkAreaNear(window.get()), second_);
}

}  // namespace
}  // namespace quillon

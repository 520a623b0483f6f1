// The real main window, built in the test process over a folder of the test's own scripts
// and driven with the messages Windows sends: list choices, cursor queries, drops, clicks.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/MainWindowLayout.h"
#include "app/MenuIds.h"
#include "base/AnsiText_win.h"
#include "base/Feedback_win.h"
#include "pictures/InputSlots.h"
#include "pictures/PictureArea_win.h"
#include "pictures/SlotLayout.h"
#include "support/ExpectedLayout.h"
#include "support/MainWindowHarness_win.h"
#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::Ansi;
using testing::ControlRect;
using testing::Describe;
using testing::MainWindowHarness;
using testing::TestPicture;

bool SameRect(const RECT& actual, const PixelRect& expected) {
    return actual.left == expected.x && actual.top == expected.y &&
           actual.right - actual.left == expected.width &&
           actual.bottom - actual.top == expected.height;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

const InputSlot& Slot(int i) {
    return InputSlots()[static_cast<std::size_t>(i)];
}

std::wstring Wide(const fs::path& path) {
    return path.wstring();
}

COLORREF ImagePixel(HWND area, int x, int y) {
    return ::GetPixel(PictureAreaDc(area), x, y);
}

COLORREF ScreenPixel(HWND area, int x, int y) {
    HDC dc = ::GetDC(area);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(area, dc);
    return colour;
}

const COLORREF kFace = ::GetSysColor(COLOR_BTNFACE);

// The display's dots per inch; a run at another scaling says which it must be.
int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// A rect of the hand-written 96-DPI layout at the display's scaling: each edge rounded to the
// nearest pixel.
PixelRect AtScreenDpi(const PixelRect& rect) {
    const int dpi = ScreenDpi();
    const auto edge = [dpi](int at96) { return (at96 * dpi + 48) / 96; };
    return {edge(rect.x), edge(rect.y), edge(rect.x + rect.width) - edge(rect.x),
            edge(rect.y + rect.height) - edge(rect.y)};
}

TEST(Scaling, IsTheOneThisRunIsFor) {
    const char* expected = std::getenv("QUILLON_EXPECT_DPI");
    EXPECT_EQ(ScreenDpi(), expected == nullptr ? 96 : std::atoi(expected));
}

// ---- The window as built --------------------------------------------------------------

class MainWindowBuilt : public ::testing::Test {
  protected:
    void SetUp() override {
        harness_.AddScript("one.xml", 1, "One picture");
        harness_.AddScript("two.xml", 2, "Two pictures");
        harness_.AddScript("none.xml", 0, "No picture");
        ASSERT_NE(harness_.Open(), nullptr);
    }
    MainWindowHarness harness_;
};

TEST_F(MainWindowBuilt, HasTheEightControlsOfTheTableInCreationOrder) {
    HWND child = ::GetWindow(harness_.window(), GW_CHILD);
    for (const testing::ExpectedControl& entry : testing::ExpectedControls()) {
        ASSERT_NE(child, nullptr) << "missing control " << entry.id;
        EXPECT_EQ(::GetDlgCtrlID(child), entry.id);
        if (entry.id != kScriptListId) {
            EXPECT_TRUE(SameRect(ControlRect(child), AtScreenDpi(entry.rect)))
                << entry.id << " is at " << Describe(ControlRect(child));
        }
        EXPECT_EQ(::IsWindowEnabled(child) != FALSE, entry.enabled) << entry.id;
        EXPECT_TRUE(::IsWindowVisible(child)) << entry.id;
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the table has";
}

// At each scaling: a script added and the folder read again, the list drops as far as the
// layout then makes it.
TEST_F(MainWindowBuilt, HasTheSameDroppedListAfterTheFolderIsReadAgain) {
    RECT readAgain{};
    RECT laidOut{};
    harness_.folder().Write("added.xml", "<script args=\"1\" name=\"A\">\r\nx\r\n</script>\r\n");
    ::SendMessageW(harness_.window(), kReadFolderAgainMessage, 0, 0);
    ::SendDlgItemMessageW(harness_.window(), kScriptListId, CB_GETDROPPEDCONTROLRECT, 0,
                          reinterpret_cast<LPARAM>(&readAgain));
    ::SendMessageW(harness_.window(), WM_SIZE, SIZE_RESTORED, 0);  // laid out again
    ::SendDlgItemMessageW(harness_.window(), kScriptListId, CB_GETDROPPEDCONTROLRECT, 0,
                          reinterpret_cast<LPARAM>(&laidOut));
    EXPECT_EQ(readAgain.bottom - readAgain.top, laidOut.bottom - laidOut.top);
}

TEST_F(MainWindowBuilt, ControlsAreOfTheirKindWithTheirStyles) {
    const auto style = [&](int id) {
        return static_cast<DWORD>(::GetWindowLongPtrW(harness_.Control(id), GWL_STYLE));
    };
    const auto extended = [&](int id) {
        return static_cast<DWORD>(::GetWindowLongPtrW(harness_.Control(id), GWL_EXSTYLE));
    };
    EXPECT_EQ(ClassName(harness_.Control(kScriptListId)), L"ComboBox");
    EXPECT_EQ(style(kScriptListId) & 0x3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_EQ(style(kScriptListId) & CBS_SORT, 0u);
    for (int id : {kInputStatusId, kOutputStatusId}) {
        EXPECT_EQ(ClassName(harness_.Control(id)), L"Edit") << id;
        EXPECT_NE(style(id) & ES_READONLY, 0u) << id;
        EXPECT_NE(style(id) & ES_AUTOHSCROLL, 0u) << id;
        EXPECT_NE(extended(id) & WS_EX_CLIENTEDGE, 0u) << id;
    }
    for (int id : {kEditScriptButtonId, kExecuteButtonId, kMenuButtonId}) {
        EXPECT_EQ(ClassName(harness_.Control(id)), L"Button") << id;
        EXPECT_EQ(style(id) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << id;
    }
    EXPECT_NE(style(kEditScriptButtonId) & BS_ICON, 0u);
    EXPECT_NE(style(kMenuButtonId) & BS_ICON, 0u);
    for (int id : {kSlotIdBase + 1, kOutputPictureId}) {
        EXPECT_EQ(ClassName(harness_.Control(id)), L"Static") << id;
        EXPECT_NE(style(id) & SS_NOTIFY, 0u) << id;
        EXPECT_NE(style(id) & SS_SUNKEN, 0u) << id;
    }
    for (int id : {kOutputPictureId, kInputStatusId, kOutputStatusId})
        EXPECT_EQ(style(id) & WS_TABSTOP, 0u) << id;
    for (int id :
         {kScriptListId, kSlotIdBase + 1, kEditScriptButtonId, kExecuteButtonId, kMenuButtonId}) {
        EXPECT_NE(style(id) & WS_TABSTOP, 0u) << id;
    }
}

TEST_F(MainWindowBuilt, ListHoldsTheScriptsAndIsTwentyFourPixelsPerEntry) {
    HWND list = harness_.Control(kScriptListId);
    EXPECT_EQ(testing::ComboItems(list).size(), 3u);
    EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), CB_ERR);
    const std::vector<testing::CreatedWindow> created = harness_.CreatedControls();
    ASSERT_FALSE(created.empty());
    EXPECT_EQ(created.front().id, kScriptListId);
    EXPECT_EQ(created.front().height, 72);  // the list's height with its dropped-down part
}

TEST_F(MainWindowBuilt, StartsWithNoScriptChosen) {
    EXPECT_EQ(harness_.Text(kInputStatusId), "Select a script from the drop-down menu");
    EXPECT_EQ(harness_.Text(kOutputStatusId), "   ...or use the popup menu on the right -->");
    EXPECT_EQ(harness_.Text(kExecuteButtonId), "Execute ImageMagick Script");
    EXPECT_FALSE(harness_.Enabled(kEditScriptButtonId));
    EXPECT_FALSE(harness_.Enabled(kExecuteButtonId));
    EXPECT_EQ(App().currentScript, 0);
    for (int id = kSlotIdBase + 2; id <= kSlotIdBase + kSlotCount; ++id)
        EXPECT_EQ(harness_.Control(id), nullptr) << id;
}

TEST_F(MainWindowBuilt, HasTheFrameTitleAndClientSize) {
    HWND window = harness_.window();
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Quillon v0.1 - Veltrane 2014");
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_NE(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, AtScreenDpi({0, 0, 516, 280}).width);
    EXPECT_EQ(client.bottom, AtScreenDpi({0, 0, 516, 280}).height);
}

// Every caption and status text, in the control's own font, fits inside the control.
TEST_F(MainWindowBuilt, EveryTextFitsItsControl) {
    harness_.ChooseScript(2);
    ::SetDlgItemTextW(harness_.window(), kOutputStatusId,
                      L"   ...or use the popup menu on the right -->");
    for (const int id : {kInputStatusId, kOutputStatusId, kExecuteButtonId}) {
        HWND control = harness_.Control(id);
        wchar_t text[256] = {};
        const int length = ::GetWindowTextW(control, text, 256);
        HDC dc = ::GetDC(control);
        const HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text, length, &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        RECT client{};
        ::GetClientRect(control, &client);
        EXPECT_LE(extent.cx, client.right) << id;
        EXPECT_LE(extent.cy, client.bottom) << id;
    }
}

TEST_F(MainWindowBuilt, IsCentredOnTheWorkArea) {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer{};
    ::GetWindowRect(harness_.window(), &outer);
    // As much room on either side, the odd pixel (if any) right and below.
    const LONG left = outer.left - work.left, right = work.right - outer.right;
    const LONG above = outer.top - work.top, below = work.bottom - outer.bottom;
    EXPECT_TRUE(left >= 0 && (right == left || right == left + 1)) << left << " | " << right;
    EXPECT_TRUE(above >= 0 && (below == above || below == above + 1)) << above << " | " << below;
}

TEST_F(MainWindowBuilt, CarriesTheLargeAndSmallIcon) {
    for (const auto& [which, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
        const auto icon = reinterpret_cast<HICON>(
            ::SendMessageW(harness_.window(), WM_GETICON, static_cast<WPARAM>(which), 0));
        ASSERT_NE(icon, nullptr) << which;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour{};
        ::GetObjectW(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
}

TEST_F(MainWindowBuilt, ShowsTheDecorationsStretchedWhileNoScriptIsChosen) {
    for (const auto& [id, name] :
         {std::pair{kSlotIdBase + 1, "WIZ"}, std::pair{kOutputPictureId, "BAL"}}) {
        HWND area = harness_.Control(id);
        HDC image = PictureAreaDc(area);
        ASSERT_NE(image, nullptr) << name;
        const PixelSize size = PictureAreaSize(area);
        // The 6-pixel margin right and below the stretched picture stays button face.
        for (int y = 0; y < size.height; y += 9)
            EXPECT_EQ(::GetPixel(image, size.width - 3, y), kFace) << name << " at y " << y;
        for (int x = 0; x < size.width; x += 9)
            EXPECT_EQ(::GetPixel(image, x, size.height - 3), kFace) << name << " at x " << x;
        int painted = 0;
        for (int y = 0; y < size.height - 6; y += 4) {
            for (int x = 0; x < size.width - 6; x += 4)
                painted += ::GetPixel(image, x, y) != kFace ? 1 : 0;
        }
        if (::FindResourceA(nullptr, name, "#10") != nullptr)
            EXPECT_GT(painted, 100) << name << " is not drawn";
        else
            EXPECT_EQ(painted, 0) << name << " is missing, so its area stays cleared";
    }
}

TEST_F(MainWindowBuilt, ButtonsShowTheirBitmapsWhenTheProgramCarriesThem) {
    for (const auto& [id, name] :
         {std::pair{kEditScriptButtonId, L"PEN"}, std::pair{kMenuButtonId, L"MNU"}}) {
        const bool carried = ::FindResourceW(nullptr, name, MAKEINTRESOURCEW(2)) != nullptr;
        const auto icon = reinterpret_cast<HICON>(
            ::SendMessageW(harness_.Control(id), BM_GETIMAGE, IMAGE_ICON, 0));
        EXPECT_EQ(icon != nullptr, carried) << id;
        if (icon == nullptr)
            continue;
        // The glyph's flat background is see-through, so a disabled button greys the glyph
        // alone instead of the whole square.
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
        BITMAP size{};
        ::GetObjectW(colour.get(), sizeof(size), &size);
        EXPECT_EQ(size.bmWidth, 17);
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HGDIOBJ old = ::SelectObject(dc, mask.get());
        EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(255, 255, 255)) << "corner is clear";
        EXPECT_EQ(::GetPixel(dc, 8, 8), RGB(0, 0, 0)) << "middle is glyph";
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
    }
}

TEST_F(MainWindowBuilt, EveryControlUsesTheWindowFontWhichDrawsJapaneseLetters) {
    const LRESULT font = ::SendMessageW(harness_.window(), WM_GETFONT, 0, 0);
    ASSERT_NE(font, 0);
    for (const testing::ExpectedControl& entry : testing::ExpectedControls()) {
        if (entry.id == kSlotIdBase + 1 || entry.id == kOutputPictureId)
            continue;  // they draw their own pictures and labels
        EXPECT_EQ(::SendMessageW(harness_.Control(entry.id), WM_GETFONT, 0, 0), font) << entry.id;
    }
    // A face that lacks them, and is linked to none that has them, draws both as one box.
    LOGFONTW face{};
    ASSERT_NE(::GetObjectW(reinterpret_cast<HFONT>(font), sizeof(face), &face), 0);
    const testing::TextLook look{face.lfFaceName, 8, false, RGB(0, 0, 0), RGB(255, 255, 255)};
    WindowDc dc(harness_.window());
    const RECT sun = testing::MeasureText(dc.get(), look, L"\u65e5").ink;
    const RECT of = testing::MeasureText(dc.get(), look, L"\u306e").ink;
    EXPECT_FALSE(::EqualRect(&sun, &of));
}

TEST_F(MainWindowBuilt, TabVisitsListSlotsButtonsInOrderSkippingDisabledOnesAndStatusLines) {
    HWND window = harness_.window();
    std::vector<int> order;
    HWND at = harness_.Control(kScriptListId);
    for (int i = 0; i < 6; ++i) {
        at = ::GetNextDlgTabItem(window, at, FALSE);
        order.push_back(::GetDlgCtrlID(at));
    }
    const int slot1 = kSlotIdBase + 1;
    EXPECT_EQ(order, (std::vector<int>{slot1, kMenuButtonId, kScriptListId, slot1, kMenuButtonId,
                                       kScriptListId}));

    harness_.ChooseScript("Two pictures");  // new slot areas; the pen enabled, execute not
    order.clear();
    at = harness_.Control(kScriptListId);
    for (int i = 0; i < 6; ++i) {
        at = ::GetNextDlgTabItem(window, at, FALSE);
        order.push_back(::GetDlgCtrlID(at));
    }
    EXPECT_EQ(order, (std::vector<int>{slot1, slot1 + 1, kEditScriptButtonId, kMenuButtonId,
                                       kScriptListId, slot1}));
}

TEST_F(MainWindowBuilt, EscapeEnterAndCloseDoNotDestroyTheWindowButTheCloseEndsIt) {
    HWND window = harness_.window();
    ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    ::SendMessageW(window, WM_COMMAND, IDOK, 0);
    testing::PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(window));
    // The modeless test window is ended (hidden) by the close command, as the modal
    // window's loop would be.
    ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST(MainWindowEnd, DestroyingTheWindowDeletesTheValidationLog) {
    MainWindowHarness harness;
    HWND window = harness.Open();
    const fs::path log = harness.folder().path() / "Xml_Log.txt";
    harness.folder().Write("Xml_Log.txt", "log");
    ASSERT_TRUE(fs::exists(log));
    ::DestroyWindow(window);
    EXPECT_FALSE(fs::exists(log));
}

TEST(RealProgram, ShowsTheTabledControlsInItsOwnProcess) {
    testing::TempFolder folder;
    testing::StartedProgram quillon(testing::InstallQuillon(folder.path().wstring(), true), L"");
    HWND window = quillon.WaitForWindow(L"Quillon v0.1 - Veltrane 2014");
    ASSERT_NE(window, nullptr);
    for (const testing::ExpectedControl& entry : testing::ExpectedControls()) {
        HWND control = ::GetDlgItem(window, entry.id);
        ASSERT_NE(control, nullptr) << entry.id;
        if (entry.id != kScriptListId) {
            EXPECT_TRUE(SameRect(ControlRect(control), entry.rect))
                << entry.id << " is at " << Describe(ControlRect(control));
        }
        EXPECT_EQ(::IsWindowEnabled(control) != FALSE, entry.enabled) << entry.id;
        if (*entry.text != '\0') {
            wchar_t text[128] = {};
            ::SendMessageW(control, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(NarrowToAnsiMarked(text), entry.text) << entry.id;
        }
    }
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(quillon.WaitForExit(), 0);
}

// ---- Choosing a script lays out the slots ---------------------------------------------

class SlotLayoutForArguments : public ::testing::TestWithParam<int> {};

TEST_P(SlotLayoutForArguments, CreatesTheTabledSlotsHintAndButtonStates) {
    const int argCount = GetParam();
    MainWindowHarness harness;
    harness.AddScript("script.xml", argCount, "The script");
    ASSERT_NE(harness.Open(), nullptr);
    ASSERT_TRUE(harness.ChooseScript("The script"));

    EXPECT_EQ(App().currentScript, 1);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        HWND area = harness.Control(kSlotIdBase + slot);
        const auto expected = testing::ExpectedSlotRect(argCount, slot);
        ASSERT_EQ(area != nullptr, expected.has_value()) << "slot " << slot;
        if (expected) {
            EXPECT_TRUE(SameRect(ControlRect(area), *expected))
                << "slot " << slot << " is at " << Describe(ControlRect(area));
            EXPECT_TRUE(::IsWindowVisible(area));
            const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(area, GWL_STYLE));
            EXPECT_NE(style & SS_NOTIFY, 0u);
            EXPECT_NE(style & SS_SUNKEN, 0u);
        }
    }
    EXPECT_EQ(harness.Text(kInputStatusId), testing::ExpectedHint(argCount));
    EXPECT_EQ(harness.Text(kOutputStatusId), "");
    EXPECT_EQ(harness.Enabled(kExecuteButtonId), argCount == 0);
    EXPECT_TRUE(harness.Enabled(kEditScriptButtonId));
    const bool acceptsDrops =
        (::GetWindowLongPtrW(harness.window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
    EXPECT_EQ(acceptsDrops, argCount > 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, SlotLayoutForArguments, ::testing::Values(0, 1, 2, 3, 4, 5),
                         [](const auto& test) { return "Args" + std::to_string(test.param); });

TEST(ScriptChoice, TheMarkerLeavesTheCurrentScriptAndDisablesBothButtons) {
    MainWindowHarness harness;  // no scripts: the list offers only the marker
    ASSERT_NE(harness.Open(), nullptr);
    harness.ChooseScript(1);
    EXPECT_EQ(App().currentScript, 0);
    EXPECT_EQ(harness.Text(kInputStatusId), "Create a new script from the popup menu -->");
    EXPECT_EQ(harness.Text(kOutputStatusId), "");
    EXPECT_FALSE(harness.Enabled(kEditScriptButtonId));
    EXPECT_FALSE(harness.Enabled(kExecuteButtonId));
}

TEST(ScriptChoice, AConfirmationWithNothingSelectedChangesNothing) {
    MainWindowHarness harness;
    harness.AddScript("one.xml", 1, "One");
    ASSERT_NE(harness.Open(), nullptr);
    ::SendMessageW(harness.window(), WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(harness.Control(kScriptListId)));
    EXPECT_EQ(App().currentScript, 0);
    EXPECT_EQ(harness.Text(kInputStatusId), "Select a script from the drop-down menu");
}

TEST(ScriptChoice, OnlyTheConfirmedSelectionCounts) {
    MainWindowHarness harness;
    harness.AddScript("one.xml", 1, "One");
    ASSERT_NE(harness.Open(), nullptr);
    HWND list = harness.Control(kScriptListId);
    ::SendMessageW(list, CB_SETCURSEL, 0, 0);
    ::SendMessageW(harness.window(), WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(App().currentScript, 0);
}

// ---- Cursor queries -------------------------------------------------------------------

class SlotsOfTwoPictureScript : public ::testing::Test {
  protected:
    void SetUp() override {
        harness_.AddScript("two.xml", 2, "Two pictures");
        harness_.AddScript("none.xml", 0, "No picture");
        harness_.AddScript("five.xml", 5, "Five pictures");
        ASSERT_NE(harness_.Open(), nullptr);
    }
    void ChooseTwo() { ASSERT_TRUE(harness_.ChooseScript("Two pictures")); }
    void Drop(int slot, const fs::path& file) { harness_.DropOn(kSlotIdBase + slot, {Wide(file)}); }
    MainWindowHarness harness_;
};

TEST_F(SlotsOfTwoPictureScript, PointerOverASlotRecordsItAndShowsTheHand) {
    ChooseTwo();
    EXPECT_EQ(harness_.HoverOver(kSlotIdBase + 2), TRUE);
    EXPECT_EQ(App().hoverSlot, 2);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(harness_.HoverOver(kSlotIdBase + 1), TRUE);
    EXPECT_EQ(App().hoverSlot, 1);
}

TEST_F(SlotsOfTwoPictureScript, TheRealPointerOverASlotRecordsIt) {
    ChooseTwo();
    ::SetForegroundWindow(harness_.window());
    // The move reaches the window through the X server: waits until the window has
    // recorded the slot it expects (or gives up after a long while).
    const auto pointAt = [&](int id, int expectedSlot) {
        RECT rect{};
        ::GetWindowRect(harness_.Control(id), &rect);
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        testing::PumpUntil([&] { return App().hoverSlot == expectedSlot; });
    };
    pointAt(kSlotIdBase + 2, 2);
    EXPECT_EQ(App().hoverSlot, 2);
    pointAt(kSlotIdBase + 1, 1);
    EXPECT_EQ(App().hoverSlot, 1);
    pointAt(kInputStatusId, 0);
    EXPECT_EQ(App().hoverSlot, 0);
}

TEST_F(SlotsOfTwoPictureScript, PointerElsewhereClearsTheRecordedSlot) {
    ChooseTwo();
    harness_.HoverOver(kSlotIdBase + 2);
    EXPECT_EQ(harness_.HoverOver(kInputStatusId), FALSE);
    EXPECT_EQ(App().hoverSlot, 0);
    harness_.HoverOver(kSlotIdBase + 2);
    EXPECT_EQ(harness_.HoverOver(0), FALSE);
    EXPECT_EQ(App().hoverSlot, 0);
}

TEST_F(SlotsOfTwoPictureScript, NoScriptOrAScriptWithoutPicturesKeepsTheArrow) {
    EXPECT_EQ(harness_.HoverOver(kSlotIdBase + 1), FALSE);
    EXPECT_EQ(App().hoverSlot, 0);
    ASSERT_TRUE(harness_.ChooseScript("No picture"));
    EXPECT_EQ(harness_.HoverOver(kOutputPictureId), FALSE);
    EXPECT_EQ(App().hoverSlot, 0);
}

// ---- Drops ----------------------------------------------------------------------------

// The name and value the accessibility object of a control gives screen readers.
std::wstring SpokenName(HWND control) {
    IAccessible* object = nullptr;
    const HRESULT made = ::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                      reinterpret_cast<void**>(&object));
    if (FAILED(made))
        return L"(no accessible object: " + std::to_wstring(made) + L")";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR value = nullptr;
    object->get_accName(self, &name);
    object->get_accValue(self, &value);
    std::wstring text =
        std::wstring(name == nullptr ? L"" : name) + L" = " + (value == nullptr ? L"" : value);
    ::SysFreeString(name);
    ::SysFreeString(value);
    object->Release();
    return text;
}

TEST_F(SlotsOfTwoPictureScript, ADroppedPictureFillsTheSlotUnderThePointer) {
    ChooseTwo();
    EXPECT_EQ(SpokenName(harness_.Control(1102)), L"Picture 2 of 2 = empty");
    EXPECT_EQ(SpokenName(harness_.Control(kOutputPictureId)), L"Output = empty");
    Drop(2, TestPicture("photo.jpg"));
    EXPECT_EQ(SpokenName(harness_.Control(1102)), L"Picture 2 of 2 = photo.jpg, 1600 by 1200");
    EXPECT_EQ(SpokenName(harness_.Control(1101)), L"Picture 1 of 2 = empty");
    EXPECT_EQ(Slot(2).path, Ansi(TestPicture("photo.jpg")));
    EXPECT_TRUE(Slot(2).picture);
    EXPECT_EQ(Slot(2).width, 1600);
    EXPECT_EQ(Slot(2).height, 1200);
    EXPECT_FALSE(Slot(1).picture);
    EXPECT_EQ(harness_.Text(kInputStatusId), "photo.jpg 1600x1200");
    EXPECT_FALSE(harness_.Enabled(kExecuteButtonId));

    Drop(1, TestPicture("tall.png"));
    EXPECT_EQ(Slot(1).width, 600);
    EXPECT_EQ(Slot(1).height, 900);
    EXPECT_EQ(harness_.Text(kInputStatusId), "tall.png 600x900");
    EXPECT_TRUE(harness_.Enabled(kExecuteButtonId));
}

TEST_F(SlotsOfTwoPictureScript, APictureInASlotStaysFreeToReplaceOrDelete) {
    // A script may write over its own input (mogrify does), and the user may tidy the
    // folder while Quillon is open: a slot must not keep its file locked.
    testing::TempFolder folder;
    const fs::path copy = folder.path() / "in use.jpg";
    fs::copy_file(TestPicture("photo.jpg"), copy);
    ChooseTwo();
    Drop(1, copy);
    ASSERT_EQ(Slot(1).width, 1600);
    UniqueHandle exclusive(::CreateFileW(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(exclusive) << "the slot holds the file open";
    exclusive.Reset();
    EXPECT_TRUE(::DeleteFileW(copy.c_str()));
}

TEST_F(SlotsOfTwoPictureScript, ADropOnAFilledSlotReplacesItsPicture) {
    ChooseTwo();
    Drop(1, TestPicture("photo.jpg"));
    Drop(2, TestPicture("photo.jpg"));
    ASSERT_TRUE(harness_.Enabled(kExecuteButtonId));
    Drop(1, TestPicture("small.gif"));
    EXPECT_EQ(Slot(1).path, Ansi(TestPicture("small.gif")));
    EXPECT_EQ(Slot(1).width, 100);
    EXPECT_EQ(Slot(1).height, 50);
    EXPECT_EQ(harness_.Text(kInputStatusId), "small.gif 100x50");
    EXPECT_TRUE(harness_.Enabled(kExecuteButtonId));
}

TEST_F(SlotsOfTwoPictureScript, TwoFilesAtOnceFillSlotOneWithACountAndNoOtherSlot) {
    ChooseTwo();
    const std::vector<std::wstring> two = {Wide(TestPicture("photo.jpg")),
                                           Wide(TestPicture("small.gif"))};
    harness_.HoverOver(kSlotIdBase + 2);
    const unsigned beeps = RefusalBeepCount();
    harness_.DropOn(kSlotIdBase + 2, two);
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_FALSE(Slot(1).picture);
    EXPECT_FALSE(Slot(2).picture);
    EXPECT_EQ(harness_.Text(kInputStatusId), "Several pictures or a folder go on slot 1");

    harness_.HoverOver(kSlotIdBase + 1);
    harness_.DropOn(kSlotIdBase + 1, two);
    EXPECT_EQ(Slot(1).path, Ansi(TestPicture("photo.jpg")));
    EXPECT_FALSE(Slot(2).picture);
    EXPECT_EQ(harness_.Text(kInputStatusId), "2 pictures");
    EXPECT_NE(::FindWindowExW(harness_.Control(kSlotIdBase + 1), nullptr, L"STATIC", L"+ 1 more"),
              nullptr);
}

TEST_F(SlotsOfTwoPictureScript, FilesCopiedInExplorerArePastedIntoASlotAsADropThere) {
    ChooseTwo();
    ASSERT_TRUE(::OpenClipboard(harness_.window()));
    ::EmptyClipboard();  // the clipboard owns the drop from here on
    ::SetClipboardData(
        CF_HDROP, testing::MakeDrop(
                      {Wide(TestPicture("photo.jpg")), Wide(TestPicture("small.gif"))}, POINT{}));
    ::CloseClipboard();
    ::SendMessageW(harness_.window(), WM_COMMAND, MAKEWPARAM(kSlotIdBase + 1, kAreaPasteKey), 0);
    EXPECT_EQ(harness_.Text(kInputStatusId), "2 pictures");
}

TEST_F(SlotsOfTwoPictureScript, ATextFileIsRefusedAndTheSlotKeepsItsPicture) {
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));
    const fs::path text = harness_.folder().Write("notes.txt", "not a picture\r\n");
    const unsigned beeps = RefusalBeepCount();
    Drop(1, text);
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(harness_.Text(kInputStatusId), "Picture format not supported");
    EXPECT_EQ(Slot(1).path, Ansi(TestPicture("small.gif")));
    EXPECT_EQ(Slot(1).width, 100);
    EXPECT_TRUE(Slot(1).picture);
}

TEST_F(SlotsOfTwoPictureScript, AMissingFileIsRefused) {
    ChooseTwo();
    const unsigned beeps = RefusalBeepCount();
    Drop(2, harness_.folder().path() / "gone.png");
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(harness_.Text(kInputStatusId), "Picture format not supported");
    EXPECT_FALSE(Slot(2).picture);
}

TEST_F(SlotsOfTwoPictureScript, ANameTheCodePageCannotWriteIsRefusedNotMistaken) {
    ChooseTwo();
    // An ω has no form in the western code pages; the marked name could open no file.
    const fs::path greek = harness_.folder().path() / L"\u03c9.gif";
    fs::copy_file(TestPicture("small.gif"), greek);
    const unsigned beeps = RefusalBeepCount();
    Drop(1, greek);
    if (::GetACP() == CP_UTF8)
        GTEST_SKIP() << "the ANSI code page writes every name";
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(harness_.Text(kInputStatusId), "Picture format not supported");
    EXPECT_FALSE(Slot(1).picture);
}

TEST_F(SlotsOfTwoPictureScript, ANameTheCodePageCanWriteLoadsUnderThatName) {
    ChooseTwo();
    const fs::path accented = harness_.folder().path() / L"caf\u00e9.gif";
    fs::copy_file(TestPicture("small.gif"), accented);
    if (::GetACP() != 1252)
        GTEST_SKIP() << "code page " << ::GetACP();
    Drop(1, accented);
    EXPECT_TRUE(Slot(1).picture);
    EXPECT_EQ(harness_.Text(kInputStatusId), "caf\xe9.gif 100x50");
    EXPECT_EQ(Slot(1).path.substr(Slot(1).path.size() - 8), "caf\xe9.gif");
}

TEST_F(SlotsOfTwoPictureScript, APathLongerThanTwoHundredFiftySixCharactersIsKeptWhole) {
    ChooseTwo();
    // A path of 258 characters (still within the classic 260): cut at 256 it would name a
    // different file, so the slot keeps it whole.
    const std::wstring base = harness_.folder().path().wstring() + L"\\";
    const std::wstring name = L"small.gif";
    const std::size_t folderLength = 258 - base.size() - 1 - name.size();
    const fs::path folder = base + std::wstring(folderLength, L'd');
    fs::create_directory(folder);
    const fs::path picture = folder / name;
    fs::copy_file(TestPicture("small.gif"), picture);
    ASSERT_EQ(picture.wstring().size(), 258u);
    Drop(1, picture);
    EXPECT_TRUE(Slot(1).picture);
    EXPECT_EQ(Slot(1).path, Ansi(picture));
    EXPECT_EQ(Slot(1).path.size(), 258u);
    EXPECT_EQ(harness_.Text(kInputStatusId), "small.gif 100x50");
}

TEST_F(SlotsOfTwoPictureScript, ADropEmptiesTheOutputStatus) {
    ChooseTwo();
    ::SetWindowTextW(harness_.Control(kOutputStatusId), L"earlier.png created");
    Drop(1, TestPicture("small.gif"));
    EXPECT_EQ(harness_.Text(kOutputStatusId), "");
}

TEST_F(SlotsOfTwoPictureScript, ADropOutsideEverySlotBeeps) {
    ChooseTwo();
    const unsigned beeps = RefusalBeepCount();
    harness_.DropOn(kInputStatusId, {Wide(TestPicture("small.gif"))});
    harness_.DropOn(0, {Wide(TestPicture("small.gif"))});
    EXPECT_EQ(RefusalBeepCount(), beeps + 2);
    EXPECT_FALSE(Slot(1).picture);
    EXPECT_FALSE(Slot(2).picture);
}

TEST_F(SlotsOfTwoPictureScript, TheDropPointDecidesNotAnEarlierCursorQuery) {
    ChooseTwo();
    harness_.HoverOver(kSlotIdBase + 1);  // the pointer passed slot 1, then the drag began
    Drop(2, TestPicture("small.gif"));
    EXPECT_FALSE(Slot(1).picture);
    EXPECT_TRUE(Slot(2).picture);
    EXPECT_EQ(App().hoverSlot, 2);
}

TEST_F(SlotsOfTwoPictureScript, ADropOnTheFrameBeeps) {
    ChooseTwo();
    const unsigned beeps = RefusalBeepCount();
    const RECT slot = ControlRect(harness_.Control(kSlotIdBase + 1));
    POINT screen{slot.left + 5, slot.top + 5};
    ::ClientToScreen(harness_.window(), &screen);
    ::SendMessageW(
        harness_.window(), WM_DROPFILES,
        reinterpret_cast<WPARAM>(testing::MakeDrop({Wide(TestPicture("small.gif"))}, screen, true)),
        0);
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_FALSE(Slot(1).picture);
}

TEST_F(SlotsOfTwoPictureScript, DropsBeepWhileNoScriptOrAPicturelessScriptIsChosen) {
    const unsigned beeps = RefusalBeepCount();
    Drop(1, TestPicture("small.gif"));
    ASSERT_TRUE(harness_.ChooseScript("No picture"));
    harness_.DropOn(kOutputPictureId, {Wide(TestPicture("small.gif"))});
    EXPECT_EQ(RefusalBeepCount(), beeps + 2);
    EXPECT_FALSE(Slot(1).picture);
    EXPECT_EQ(harness_.Text(kInputStatusId), "No input pic necessary");
}

TEST_F(SlotsOfTwoPictureScript, FivePicturesOfferNoSlotAndNeverEnableExecute) {
    ASSERT_TRUE(harness_.ChooseScript("Five pictures"));
    EXPECT_EQ(harness_.Text(kInputStatusId), "Drag & drop 5 pictures on the areas above");
    const unsigned beeps = RefusalBeepCount();
    harness_.DropOn(0, {Wide(TestPicture("small.gif"))});
    harness_.DropOn(kOutputPictureId, {Wide(TestPicture("small.gif"))});
    EXPECT_EQ(RefusalBeepCount(), beeps + 2);
    EXPECT_FALSE(harness_.Enabled(kExecuteButtonId));
}

TEST_F(SlotsOfTwoPictureScript, ChoosingAScriptAgainEmptiesEverySlot) {
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));
    Drop(2, TestPicture("small.gif"));
    ASSERT_TRUE(harness_.Enabled(kExecuteButtonId));
    ChooseTwo();
    EXPECT_FALSE(Slot(1).picture);
    EXPECT_FALSE(Slot(2).picture);
    EXPECT_TRUE(Slot(1).path.empty());
    EXPECT_EQ(Slot(1).width, 0);
    EXPECT_FALSE(harness_.Enabled(kExecuteButtonId));
    EXPECT_EQ(harness_.Text(kInputStatusId), "Drag & drop 2 pictures on the areas above");
}

TEST_F(SlotsOfTwoPictureScript, ClickingASlotWhileNoScriptIsChosenOnlyBeeps) {
    const unsigned beeps = RefusalBeepCount();
    harness_.Click(kSlotIdBase + 1);
    harness_.Click(kSlotIdBase + 1, STN_DBLCLK);
    EXPECT_EQ(RefusalBeepCount(), beeps + 2);
    EXPECT_EQ(harness_.Text(kOutputStatusId), "   ...or use the popup menu on the right -->");
}

// ---- Drawing --------------------------------------------------------------------------

TEST_F(SlotsOfTwoPictureScript, EmptySlotsShowTheirLabelCentredInLightGrey) {
    ChooseTwo();
    for (int slot = 1; slot <= 2; ++slot) {
        HWND area = harness_.Control(kSlotIdBase + slot);
        // "arg #1" in Arial, 26 points, light grey: its extent in that font is centred in the
        // 118 x 216 slot, and the ink lies where the font puts it for text drawn there.
        const std::wstring label = L"arg #" + std::to_wstring(slot);
        const testing::TextMeasure measured = testing::MeasureText(
            PictureAreaDc(area), {L"Arial", 26, false, RGB(200, 200, 200), kFace}, label);
        ASSERT_GT(measured.ink.right, measured.ink.left) << "the font draws no ink";
        const int originX = (118 - measured.extent.cx) / 2;
        const int originY = (216 - measured.extent.cy) / 2;
        int left = 1000, right = -1, top = 1000, bottom = -1;
        for (int y = 0; y < 216; ++y) {
            for (int x = 0; x < 118; ++x) {
                if (ImagePixel(area, x, y) == RGB(200, 200, 200)) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
            }
        }
        ASSERT_GE(right, 0) << "slot " << slot << " shows no label";
        EXPECT_EQ(left, originX + measured.ink.left) << slot;
        EXPECT_EQ(top, originY + measured.ink.top) << slot;
        EXPECT_EQ(right, originX + measured.ink.right) << slot;
        EXPECT_EQ(bottom, originY + measured.ink.bottom) << slot;
    }
}

TEST_F(SlotsOfTwoPictureScript, APreviewIsDrawnFittedAndCentred) {
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));  // 100 x 50 red in a 118 x 216 slot: at 9, 83
    HWND area = harness_.Control(kSlotIdBase + 1);
    EXPECT_EQ(ImagePixel(area, 59, 108), RGB(255, 0, 0));
    EXPECT_EQ(ImagePixel(area, 12, 86), RGB(255, 0, 0));
    EXPECT_EQ(ImagePixel(area, 7, 108), kFace);
    EXPECT_EQ(ImagePixel(area, 59, 81), kFace);
    EXPECT_EQ(ImagePixel(area, 59, 134), kFace);
    // No label is left beside the preview.
    for (int y = 0; y < 216; ++y) {
        for (int x = 0; x < 118; ++x)
            ASSERT_NE(ImagePixel(area, x, y), RGB(200, 200, 200)) << x << "," << y;
    }
}

TEST_F(SlotsOfTwoPictureScript, APreviewSurvivesBeingPaintedAgain) {
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));
    HWND area = harness_.Control(kSlotIdBase + 1);
    // Cover the window with another one, then take it away again.
    RECT outer{};
    ::GetWindowRect(harness_.window(), &outer);
    HWND cover = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, outer.left,
                                   outer.top, outer.right - outer.left, outer.bottom - outer.top,
                                   nullptr, nullptr, nullptr, nullptr);
    testing::PumpMessages();
    ::DestroyWindow(cover);
    ::RedrawWindow(harness_.window(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testing::PumpMessages();
    // Client pixels are one inside the image, behind the sunken edge.
    EXPECT_EQ(ScreenPixel(area, 58, 107), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(area, 4, 107), kFace);
}

TEST_F(SlotsOfTwoPictureScript, ChoosingAScriptClearsTheOutputArea) {
    HWND output = harness_.Control(kOutputPictureId);
    ChooseTwo();
    for (int y = 0; y < 217; y += 7) {
        for (int x = 0; x < 240; x += 7)
            ASSERT_EQ(ImagePixel(output, x, y), kFace) << x << "," << y;
    }
}

TEST_F(SlotsOfTwoPictureScript, ALayoutDeletesTheImagesOfTheAreasItReplaces) {
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));
    std::vector<HGDIOBJ> old;
    for (int slot = 1; slot <= 2; ++slot) {
        HDC dc = PictureAreaDc(harness_.Control(kSlotIdBase + slot));
        ASSERT_NE(dc, nullptr);
        // Labels and previews leave the image's own font selected, not one of theirs.
        EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), ::GetStockObject(SYSTEM_FONT)) << slot;
        old.push_back(dc);
        old.push_back(::GetCurrentObject(dc, OBJ_BITMAP));
    }
    ChooseTwo();
    for (HGDIOBJ object : old)
        EXPECT_EQ(::GetObjectType(object), 0u) << object;
}

TEST_F(SlotsOfTwoPictureScript, RepeatedLayoutsAndFillsLeakNoGdiObjects) {
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));
    const long before = LiveGdiOwned();
    for (int i = 0; i < 15; ++i) {
        ChooseTwo();
        Drop(1, TestPicture("small.gif"));
        Drop(2, TestPicture("banner.bmp"));
        harness_.ChooseScript("Five pictures");
    }
    ChooseTwo();
    Drop(1, TestPicture("small.gif"));
    EXPECT_EQ(LiveGdiOwned(), before);
}

// ---- The popup menu -------------------------------------------------------------------

// Clicks the menu button and gives where its menu opened; the menu is closed again.
RECT MenuOpenedByClick(testing::MainWindowHarness& harness) {
    // The menu runs its own loop until Escape closes it.
    const auto escape = [](HWND menu) { ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0); };
    RECT openedMenu{};
    testing::ModalDriver driver(
        [] {
            HWND menu = ::FindWindowW(L"#32768", nullptr);
            return menu != nullptr && ::IsWindowVisible(menu) ? menu : nullptr;
        },
        [&](HWND menu) {
            ::GetWindowRect(menu, &openedMenu);
            escape(menu);
        },
        escape);
    harness.Click(kMenuButtonId, BN_CLICKED);
    driver.Finish();
    EXPECT_TRUE(driver.Found()) << "no popup menu opened";
    return openedMenu;
}

TEST_F(MainWindowBuilt, MenuButtonOpensThePopupAboveAndLeftOfThePointer) {
    ::SetCursorPos(700, 600);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    const RECT openedMenu = MenuOpenedByClick(harness_);
    EXPECT_EQ(openedMenu.right, pointer.x);
    EXPECT_EQ(openedMenu.bottom, pointer.y);
    EXPECT_GT(openedMenu.bottom - openedMenu.top, 6 * 10);
}

TEST_F(MainWindowBuilt, MenuButtonPressedFromTheKeyboardOpensThePopupAboveTheButton) {
    ::SetCursorPos(700, 600);
    HWND button = harness_.Control(kMenuButtonId);
    ::PostMessageW(button, WM_KEYDOWN, VK_SHIFT, 0);  // a key, then the click Space makes
    testing::PumpMessages();
    RECT at{};
    ::GetWindowRect(button, &at);
    const RECT openedMenu = MenuOpenedByClick(harness_);
    EXPECT_EQ(openedMenu.right, at.right);
    EXPECT_EQ(openedMenu.bottom, at.top);
}

}  // namespace
}  // namespace quillon

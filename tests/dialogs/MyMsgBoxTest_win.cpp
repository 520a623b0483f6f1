// The message box shown for real under Wine: the test thread shows it, as the program
// does, while a second thread reads it and answers it with posted messages.
#include "dialogs/MyMsgBox_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/SetRunText.h"
#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "dialogs/MsgBoxStyle.h"
#include "support/Printing.h"
#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::operator<<;
using testing::Describe;
using testing::TextOf;
using testing::WaitUntil;

// A visible top-level window that owns the boxes of one test.
class OwnerWindow {
  public:
    OwnerWindow()
        : window_(::CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60,
                                    40, 700, 500, nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnerWindow() { ::DestroyWindow(window_); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_;
};

struct FindBox {
    HWND owner;
    HWND box;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM data) {
    auto* find = reinterpret_cast<FindBox*>(data);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window) &&
        ::GetWindow(window, GW_OWNER) == find->owner) {
        find->box = window;
        return FALSE;
    }
    return TRUE;
}

// Where a control lies in its box's client area.
PixelRect ClientRectOf(HWND box, int id) {
    RECT r{};
    HWND control = ::GetDlgItem(box, id);
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The second thread's view of one box and the means to answer it.
class BoxDriver {
  public:
    BoxDriver(DWORD boxThread, HWND box) : boxThread_(boxThread), box_(box) {}
    HWND box() const { return box_; }
    HWND Item(int id) const { return ::GetDlgItem(box_, id); }
    HWND Button(int position) const { return Item(kMsgBoxFirstButtonId + position - 1); }

    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(boxThread_, &info);
        return info.hwndFocus;
    }
    bool WaitForFocus(HWND control) const {
        return WaitUntil([&] { return Focus() == control; });
    }
    // Moves the focus as the dialog manager does for Tab, then waits until it has arrived.
    bool MoveFocusTo(HWND control) const {
        ::PostMessageW(box_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        return WaitForFocus(control);
    }
    // A key pressed while the focus is where it is now.
    void PressKey(WPARAM key) const {
        HWND target = Focus();
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    }
    void Click(int position) const { ::PostMessageW(Button(position), BM_CLICK, 0, 0); }

  private:
    DWORD boxThread_;
    HWND box_;
};

struct ShowResult {
    int answer = -1;
    bool boxSeen = false;
    bool closedByRescue = false;
};

// Shows a box over owner on this thread; drive runs on a second thread once the box is up.
// A box the driver leaves open is answered with its first button after a while, so that a
// failing test cannot hang the run.
ShowResult ShowAndDrive(HWND owner, std::string_view text, std::string_view caption, int style,
                        std::string_view buttons, std::function<void(const BoxDriver&)> drive) {
    const DWORD thisThread = ::GetCurrentThreadId();
    testing::ModalDriver driver(
        [&] {
            FindBox find{owner, nullptr};
            ::EnumThreadWindows(thisThread, MatchBox, reinterpret_cast<LPARAM>(&find));
            return find.box;
        },
        [&](HWND box) { drive(BoxDriver(thisThread, box)); },
        [](HWND box) {
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(kMsgBoxFirstButtonId, BN_CLICKED), 0);
        });
    ShowResult result;
    result.answer = MyMsgBox(owner, text, caption, style, buttons);
    driver.Finish();
    result.boxSeen = driver.Found();
    result.closedByRescue = driver.Rescued();
    return result;
}

class MsgBoxWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMsgBoxStyle("Lucida Console", 10, 0, -1);
        ASSERT_NE(owner_.get(), nullptr);
    }
    void TearDown() override { CurrentMsgBoxStyle() = MsgBoxStyle{}; }

    // Shows a box, lets drive answer it and checks that it was answered, not rescued.
    int Answer(std::string_view text, std::string_view caption, int style, std::string_view buttons,
               std::function<void(const BoxDriver&)> drive) {
        const ShowResult shown = ShowAndDrive(owner_.get(), text, caption, style, buttons, drive);
        EXPECT_TRUE(shown.boxSeen);
        EXPECT_FALSE(shown.closedByRescue) << "the box stayed open and had to be closed";
        return shown.answer;
    }
    HWND owner() const { return owner_.get(); }

  private:
    OwnerWindow owner_;
};

// ---- Answers -----------------------------------------------------------------------

struct AnswerCase {
    const char* name;
    int style;
    const char* buttons;
    std::vector<std::wstring> captions;
};

class ButtonAnswers : public MsgBoxWindow, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ButtonAnswers, EachButtonAnswersWithItsPositionInTheRow) {
    const AnswerCase& c = GetParam();
    for (int position = 1; position <= static_cast<int>(c.captions.size()); ++position) {
        std::vector<std::wstring> shown;
        bool extraButton = true;
        const int answer =
            Answer("Choose.", "Quillon", c.style, c.buttons, [&](const BoxDriver& box) {
                for (std::size_t i = 1; i <= c.captions.size(); ++i)
                    shown.push_back(TextOf(box.Button(i)));
                extraButton = box.Button(c.captions.size() + 1) != nullptr;
                box.Click(position);
            });
        EXPECT_EQ(answer, position);
        EXPECT_EQ(shown, c.captions);
        EXPECT_FALSE(extraButton);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, ButtonAnswers,
    ::testing::Values(
        AnswerCase{"YesNoCancelWithQuestion", 0x23, "", {L"&Yes", L"&No", L"&Cancel"}},
        AnswerCase{"YesNoWithError", 0x14, "", {L"&Yes", L"&No"}},
        AnswerCase{"CallersList", 0, "Save;Discard;Back", {L"Save", L"Discard", L"Back"}},
        AnswerCase{"EmptyListGivesOk", 0, "", {L"&OK"}},
        AnswerCase{"EmptyPieceGivesAnEmptyButton", 0, "A;", {L"A", L""}}),
    testing::CaseName());

TEST_F(MsgBoxWindow, EnterRightAfterOpeningPressesTheFirstButton) {
    const int answer = Answer("Replace it?", "Quillon", 0x23, "", [&](const BoxDriver& box) {
        ASSERT_TRUE(box.WaitForFocus(box.Button(1)));
        box.PressKey(VK_RETURN);
    });
    EXPECT_EQ(answer, 1);
}

TEST_F(MsgBoxWindow, EnterPressesTheButtonTheFocusMovedTo) {
    const int answer = Answer("Replace it?", "Quillon", 0x23, "", [&](const BoxDriver& box) {
        ASSERT_TRUE(box.MoveFocusTo(box.Button(2)));
        box.PressKey(VK_RETURN);
    });
    EXPECT_EQ(answer, 2);
}

TEST_F(MsgBoxWindow, EnterInTheTextPressesTheButtonThatLastHadTheFocus) {
    const int answer = Answer("Replace it?", "Quillon", 0x23, "", [&](const BoxDriver& box) {
        ASSERT_TRUE(box.MoveFocusTo(box.Button(3)));
        ASSERT_TRUE(box.MoveFocusTo(box.Item(kMsgBoxTextId)));
        box.PressKey(VK_RETURN);
    });
    EXPECT_EQ(answer, 3);
}

TEST_F(MsgBoxWindow, EnterInTheTextBeforeAnyFocusMovePressesTheFirstButton) {
    const int answer = Answer("Replace it?", "Quillon", 0x23, "", [&](const BoxDriver& box) {
        ASSERT_TRUE(box.MoveFocusTo(box.Item(kMsgBoxTextId)));
        box.PressKey(VK_RETURN);
    });
    EXPECT_EQ(answer, 1);
}

TEST_F(MsgBoxWindow, EscapeAndTheWindowSystemsCloseLeaveTheBoxOpen) {
    bool openAfterwards = false;
    const int answer = Answer("Replace it?", "Quillon", 0x24, "", [&](const BoxDriver& box) {
        ASSERT_TRUE(box.WaitForFocus(box.Button(1)));
        box.PressKey(VK_ESCAPE);
        ::PostMessageW(box.box(), WM_CLOSE, 0, 0);
        ::PostMessageW(box.box(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ::PostMessageW(box.box(), WM_COMMAND, IDCANCEL, 0);
        // Alt+F4 reaches the box as a system key.
        ::PostMessageW(box.Focus(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
        // Posted messages are handled in order: had any of the above ended the box, the
        // click below would find it gone and the answer would be 0.
        ::SendMessageW(box.box(), WM_NULL, 0, 0);
        openAfterwards = ::IsWindowVisible(box.box()) != FALSE;
        box.Click(2);
    });
    EXPECT_EQ(answer, 2);
    EXPECT_TRUE(openAfterwards);
}

TEST_F(MsgBoxWindow, ButtonsBeyondTheNineteenthDoNotAnswer) {
    std::string list;
    for (int i = 1; i <= 20; ++i)
        list += (i > 1 ? ";" : "") + std::to_string(i);
    const int answer = Answer("Many.", "Quillon", 0, list, [&](const BoxDriver& box) {
        ASSERT_NE(box.Button(20), nullptr);
        box.Click(20);
        box.Click(19);
    });
    EXPECT_EQ(answer, 19);
}

// ---- Frame, title, text and icon ----------------------------------------------------------

TEST_F(MsgBoxWindow, IsAModalPopUpWithATitleAndNoSystemMenuCentredOnItsOwner) {
    LONG_PTR style = 0;
    bool ownerEnabled = true;
    RECT outer{};
    RECT ownerClient{};
    POINT ownerOrigin{0, 0};
    HICON windowIcon = nullptr;
    std::wstring title;
    Answer("Done.", "Quillon", 0, "", [&](const BoxDriver& box) {
        style = ::GetWindowLongPtrW(box.box(), GWL_STYLE);
        ownerEnabled = ::IsWindowEnabled(owner()) != FALSE;
        ::GetWindowRect(box.box(), &outer);
        ::GetClientRect(owner(), &ownerClient);
        ::ClientToScreen(owner(), &ownerOrigin);
        windowIcon = reinterpret_cast<HICON>(::SendMessageW(box.box(), WM_GETICON, ICON_BIG, 0));
        title = TextOf(box.box());
        box.Click(1);
    });
    EXPECT_EQ(title, L"Quillon");
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner()));
    EXPECT_NE(windowIcon, nullptr);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    EXPECT_EQ(outer.left, ownerOrigin.x + (ownerClient.right - width) / 2);
    EXPECT_EQ(outer.top, ownerOrigin.y + (ownerClient.bottom - height) / 2);
}

TEST_F(MsgBoxWindow, EmptyCaptionGivesTheTitleMyMsgBox) {
    std::wstring title;
    Answer("Done.", "", 0, "", [&](const BoxDriver& box) {
        title = TextOf(box.box());
        box.Click(1);
    });
    EXPECT_EQ(title, L"MyMsgBox");
}

TEST_F(MsgBoxWindow, ASingleCarriageReturnBreaksTheLine) {
    std::wstring text;
    LRESULT lines = 0;
    Answer("A\rB", "Quillon", 0, "", [&](const BoxDriver& box) {
        text = TextOf(box.Item(kMsgBoxTextId));
        lines = ::SendMessageW(box.Item(kMsgBoxTextId), EM_GETLINECOUNT, 0, 0);
        box.Click(1);
    });
    EXPECT_EQ(text, L"A\r\nB");
    EXPECT_EQ(lines, 2);
}

TEST_F(MsgBoxWindow, AReportLongerThanTheScreenFitsOnItAndScrolls) {
    std::string report;
    for (int i = 0; i < 120; ++i)
        report += "convert.exe: unable to open image `missing.png': No such file or directory.\r";
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    LONG_PTR textStyle = 0;
    Answer(report, "Quillon", 0x30, "", [&](const BoxDriver& box) {
        ::GetWindowRect(box.box(), &frame);
        textStyle = ::GetWindowLongPtrW(box.Item(kMsgBoxTextId), GWL_STYLE);
        box.Click(1);
    });
    EXPECT_LE(frame.bottom - frame.top, work.bottom - work.top);
    EXPECT_NE(textStyle & WS_VSCROLL, 0);
}

TEST_F(MsgBoxWindow, TheIconControlExistsOnlyWithAnIconStyle) {
    const int styles[] = {0x10, 0x20, 0x30, 0x40, 0x0, 0x4};
    for (int style : styles) {
        bool hasControl = false;
        HICON shown = nullptr;
        Answer("Note.", "Quillon", style, "", [&](const BoxDriver& box) {
            HWND icon = box.Item(kMsgBoxIconId);
            hasControl = icon != nullptr;
            if (icon != nullptr)
                shown = reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0));
            box.Click(1);
        });
        const bool wantsIcon = (style & 0x70) != 0;
        EXPECT_EQ(hasControl, wantsIcon) << "style " << style;
        if (wantsIcon) {
            EXPECT_NE(shown, nullptr) << "style " << style;
        }
    }
}

// ---- Layout ---------------------------------------------------------------------------

PixelSize MeasureIn(HFONT font, const std::wstring& text) {
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelectObject selected(dc.get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

// The table holds what the box measures (the whole text as one line in the text box's font,
// each caption in its button's font: the test prefix always draws "Lucida Console" 10 with
// the same font) and, worked out by hand from that, where the controls must sit.
struct LayoutCase {
    const char* name;
    const char* text;
    int style;
    const char* buttons;
    PixelSize textExtent;
    std::vector<int> captionWidths;
    PixelRect textBox;
    std::vector<PixelRect> buttonRects;
    PixelSize client;
};

class ControlLayout : public MsgBoxWindow, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(ControlLayout, ControlsSitAsWorkedOutForTheMeasuredText) {
    const LayoutCase& c = GetParam();
    PixelSize textExtent;
    std::vector<int> captionWidths;
    std::vector<PixelRect> buttons;
    PixelRect text;
    PixelRect icon;
    RECT client{};
    LOGFONTW textFont{};
    LOGFONTW buttonFont{};
    Answer(c.text, "Quillon", c.style, c.buttons, [&](const BoxDriver& box) {
        auto font = [](HWND control) {
            return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
        };
        HWND textBox = box.Item(kMsgBoxTextId);
        ::GetObjectW(font(textBox), sizeof(textFont), &textFont);
        ::GetObjectW(font(box.Button(1)), sizeof(buttonFont), &buttonFont);
        textExtent = MeasureIn(font(textBox), TextOf(textBox));
        text = ClientRectOf(box.box(), kMsgBoxTextId);
        if (box.Item(kMsgBoxIconId) != nullptr)
            icon = ClientRectOf(box.box(), kMsgBoxIconId);
        for (int i = 1; box.Button(i) != nullptr; ++i) {
            captionWidths.push_back(MeasureIn(font(box.Button(i)), TextOf(box.Button(i))).width);
            buttons.push_back(ClientRectOf(box.box(), kMsgBoxFirstButtonId + i - 1));
        }
        ::GetClientRect(box.box(), &client);
        box.Click(1);
    });
    EXPECT_EQ(std::wstring(textFont.lfFaceName), L"Lucida Console");
    EXPECT_EQ(std::wstring(buttonFont.lfFaceName), L"Lucida Console");
    EXPECT_LT(textFont.lfHeight, 0);  // a character height, from the point size
    EXPECT_EQ(textFont.lfWeight, FW_NORMAL);
    ASSERT_EQ(textExtent.width, c.textExtent.width) << "the font is not the one of the table";
    ASSERT_EQ(textExtent.height, c.textExtent.height) << "the font is not the one of the table";
    ASSERT_EQ(captionWidths, c.captionWidths) << "the font is not the one of the table";

    EXPECT_EQ(text, c.textBox);
    EXPECT_EQ(buttons, c.buttonRects);
    EXPECT_EQ(client.right, c.client.width);
    EXPECT_EQ(client.bottom, c.client.height);
    if ((c.style & 0x70) != 0) {
        EXPECT_EQ(icon, (PixelRect{5, 5, 32, 32}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlLayout,
    ::testing::Values(
        LayoutCase{"ShortTextOneButton",
                   "Done.",
                   0,
                   "",
                   {34, 15},
                   {28},
                   {10, 10, 160, 21},
                   {{66, 31, 48, 24}},
                   {180, 60}},
        LayoutCase{"QuestionWithIcon",
                   "Replace the file?",
                   0x23,
                   "",
                   {97, 15},
                   {32, 25, 49},
                   {42, 10, 160, 22},
                   {{13, 42, 52, 24}, {75, 42, 45, 24}, {130, 42, 69, 24}},
                   {212, 71}},
        LayoutCase{"LongTextTwoLines",
                   "convert: unable to open image 'missing.png': No such file or directory "
                   "@ error/blob.c/OpenBlob/2924.\rconvert: no images defined 'out.png' "
                   "@ error/convert.c/ConvertImageCommand/3229.",
                   0x10,
                   "",
                   {1085, 15},
                   {28},
                   {42, 10, 380, 82},
                   {{192, 92, 48, 24}},
                   {432, 121}},
        LayoutCase{"ManyButtonsWidenTheBox",
                   "Which?",
                   0,
                   "First choice;Second choice;Third choice;Fourth choice",
                   {43, 15},
                   {68, 86, 71, 79},
                   {10, 10, 160, 21},
                   {{10, 31, 88, 24}, {108, 31, 106, 24}, {224, 31, 91, 24}, {325, 31, 99, 24}},
                   {434, 60}}),
    testing::CaseName());

// ---- Every text shown whole ---------------------------------------------------------------

std::string Summary(int failed, const std::wstring& picture, const std::wstring& logPath) {
    SetSummary summary;
    summary.total = 30;
    summary.created = 30 - failed;
    summary.failed = failed;
    summary.logPath = NarrowToAnsiMarked(logPath);
    summary.entries.assign(
        failed, {true, NarrowToAnsiMarked(picture),
                 "convert.exe: unable to open image `in.jpg': No such file or "
                 "directory @ error/blob.c/OpenBlob/2924.\rconvert.exe: no images defined.",
                 ""});
    return SummaryText(summary);
}

// The question before a folder run, summaries (the longest, a log in a long path without
// blanks, Japanese and Chinese names), one word: each line the text box made fits its width
// (a path is broken, not run past the edge), and all its height unless it scrolls.
TEST_F(MsgBoxWindow, EveryTextIsShownWholeOrScrolls) {
    for (const std::string& text :
         {NarrowToAnsiMarked(L"Run \u00ABResize to 50 %\u00BB on 30 pictures?"),
          Summary(0, L"", L""), Summary(9, L"IMG_0815.jpg", L"D:\\Trip\\Quillon batch log.txt"),
          Summary(1, L"a.jpg",
                  L"D:\\Photos\\2024_Holiday_in_Tuscany_Florence_Siena_Pisa_and_Lucca\\Day_"
                  L"03_Chianti_vineyards_at_sunset_taken_with_the_new_camera\\Resized_"
                  L"for_the_web_album_1600px_wide_second_attempt\\Quillon_batch_log.txt"),
          Summary(2, L"\u6d77\u8fba\u306e\u5915\u713c\u3051_\u5317\u4eac.jpg",
                  L"D:\\\u5199\u771f\\\u65c5\u884c\\Quillon batch log.txt"),
          std::string("Done.")}) {
        RECT lines{};
        int wide = 0, height = 0, scrolls = 0;
        Answer(text, "Quillon", 0x10, "", [&](const BoxDriver& box) {
            HWND edit = box.Item(kMsgBoxTextId);
            ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lines));
            const auto font = reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0));
            const LRESULT count = ::SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
            for (LRESULT line = 0; line < count; ++line) {
                const LRESULT start = ::SendMessageW(edit, EM_LINEINDEX, line, 0);
                const LRESULT length = ::SendMessageW(edit, EM_LINELENGTH, start, 0);
                wide = std::max(wide, MeasureIn(font, TextOf(edit).substr(start, length)).width);
            }
            height = static_cast<int>(count) * MeasureIn(font, L"Ag").height;
            scrolls = (::GetWindowLongPtrW(edit, GWL_STYLE) & WS_VSCROLL) != 0;
            box.Click(1);
        });
        EXPECT_LE(wide, lines.right - lines.left) << "a line runs out of the box:\n" << text;
        EXPECT_EQ(scrolls, height > lines.bottom - lines.top) << "lines are cut:\n" << text;
    }
}

// ---- Colours and what the box owns ---------------------------------------------------------

TEST_F(MsgBoxWindow, TextAndBackgroundTakeTheStyleColours) {
    SetMsgBoxStyle("Lucida Console", 10, 0x0000FF, 0x00FFEE);
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    COLORREF textColour = 0;
    LOGBRUSH brush{};
    HGDIOBJ brushHandle = nullptr;
    Answer("Coloured.", "Quillon", 0, "", [&](const BoxDriver& box) {
        brushHandle = reinterpret_cast<HGDIOBJ>(
            ::SendMessageW(box.box(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                           reinterpret_cast<LPARAM>(box.Item(kMsgBoxTextId))));
        textColour = ::GetTextColor(dc.get());
        ::GetObjectW(brushHandle, sizeof(brush), &brush);
        box.Click(1);
    });
    EXPECT_EQ(textColour, 0x0000FFu);
    EXPECT_EQ(brush.lbColor, 0x00FFEEu);
}

TEST_F(MsgBoxWindow, SystemDefaultColoursLeaveTheDialogManagersOwn) {
    SetMsgBoxStyle("Lucida Console", 10, -1, -1);
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    LRESULT handled = -1;
    Answer("Plain.", "Quillon", 0, "", [&](const BoxDriver& box) {
        handled = ::SendMessageW(box.box(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                 reinterpret_cast<LPARAM>(box.Item(kMsgBoxTextId)));
        box.Click(1);
    });
    // The dialog manager answers with the system's face brush.
    EXPECT_EQ(reinterpret_cast<HBRUSH>(handled), ::GetSysColorBrush(COLOR_3DFACE));
}

// Wine counts no GDI objects, so each box's own fonts, brush and icon are looked up after it
// has gone.
TEST_F(MsgBoxWindow, RepeatedBoxesReleaseTheirFontsBrushAndIcon) {
    SetMsgBoxStyle("Lucida Console", 10, 0x0000FF, 0x00FFEE);
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    std::vector<HGDIOBJ> objects;
    std::vector<HICON> icons;
    for (int i = 0; i < 20; ++i) {
        Answer("Again?", "Quillon", 0x23, "", [&](const BoxDriver& box) {
            HWND text = box.Item(kMsgBoxTextId);
            for (HWND control : {text, box.Button(1)})
                objects.push_back(
                    reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
            objects.push_back(reinterpret_cast<HGDIOBJ>(
                ::SendMessageW(box.box(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                               reinterpret_cast<LPARAM>(text))));
            icons.push_back(reinterpret_cast<HICON>(
                ::SendMessageW(box.Item(kMsgBoxIconId), STM_GETICON, 0, 0)));
            box.Click(3);
        });
    }
    for (HGDIOBJ object : objects) {
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(::GetObjectType(object), 0u) << "a font or brush outlived its box";
    }
    for (HICON icon : icons) {
        ICONINFO info{};
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(::GetIconInfo(icon, &info)) << "an icon outlived its box";
    }
}

// ---- CenterOnOwner -------------------------------------------------------------------

class CentredWindow : public ::testing::Test {
  protected:
    HWND MakePopUp(HWND owner) {
        window_ = ::CreateWindowExW(0, L"STATIC", L"Centred", WS_POPUP | WS_CAPTION, 0, 0, 301, 151,
                                    owner, nullptr, nullptr, nullptr);
        return window_;
    }
    void TearDown() override { ::DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(CentredWindow, SitsInTheMiddleOfTheOwnersClientArea) {
    OwnerWindow owner;
    HWND popup = MakePopUp(owner.get());
    CenterOnOwner(popup);
    RECT outer{};
    ::GetWindowRect(popup, &outer);
    RECT client{};
    ::GetClientRect(owner.get(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(owner.get(), &origin);
    EXPECT_EQ(outer.left, origin.x + (client.right - 301) / 2);
    EXPECT_EQ(outer.top, origin.y + (client.bottom - 151) / 2);
}

// The 301 x 151 pop-up of these tests, centred on the given work area.
void ExpectCentredOn(const PixelRect& work, HWND popup) {
    RECT outer{};
    ::GetWindowRect(popup, &outer);
    EXPECT_EQ(outer.left, work.x + (work.width - 301) / 2);
    EXPECT_EQ(outer.top, work.y + (work.height - 151) / 2);
}

// ... on the primary monitor's work area, which is what SPI_GETWORKAREA reports.
void ExpectCentredOnTheWorkArea(HWND popup) {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ExpectCentredOn({work.left, work.top, work.right - work.left, work.bottom - work.top}, popup);
}

TEST_F(CentredWindow, WithoutOwnerSitsInTheMiddleOfTheWorkArea) {
    HWND popup = MakePopUp(nullptr);
    CenterOnOwner(popup);
    ExpectCentredOnTheWorkArea(popup);
}

TEST_F(CentredWindow, AMinimisedOwnerCountsAsNoOwnerSoTheDialogStaysOnScreen) {
    OwnerWindow owner;
    ::ShowWindow(owner.get(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(owner.get()));
    HWND popup = MakePopUp(owner.get());
    CenterOnOwner(popup);
    ExpectCentredOnTheWorkArea(popup);
}

TEST_F(CentredWindow, ALargerWindowGetsANegativeOffsetTruncatedTowardZero) {
    OwnerWindow owner;
    ::SetWindowPos(owner.get(), nullptr, 300, 300, 200, 150, SWP_NOZORDER);
    HWND popup = MakePopUp(owner.get());
    CenterOnOwner(popup);
    RECT outer{};
    ::GetWindowRect(popup, &outer);
    RECT client{};
    ::GetClientRect(owner.get(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(owner.get(), &origin);
    EXPECT_LT(client.right - 301, 0);
    EXPECT_EQ(outer.left, origin.x + (client.right - 301) / 2);
    EXPECT_EQ(outer.top, origin.y + (client.bottom - 151) / 2);
}

// ---- A second monitor ----------------------------------------------------------------
// These run where the system reports a second monitor: tests/CMakeLists.txt runs them once
// more on a display with two, side by side. Elsewhere they are skipped.

bool Inside(const RECT& r, const PixelRect& area) {
    return r.left >= area.x && r.top >= area.y && r.right <= area.x + area.width &&
           r.bottom <= area.y + area.height;
}

class OnTheSecondMonitor : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::SecondWorkAreaOrSkip(&work_);
        SetMsgBoxStyle("Lucida Console", 10, 0, -1);
    }
    void TearDown() override {
        if (owner_ != nullptr)
            ::DestroyWindow(owner_);
        CurrentMsgBoxStyle() = MsgBoxStyle{};
    }
    // A visible owner at (x, y) from the second monitor's work-area corner.
    HWND MakeOwner(int x, int y, int width, int height) {
        owner_ =
            ::CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, work_.x + x,
                              work_.y + y, width, height, nullptr, nullptr, nullptr, nullptr);
        return owner_;
    }
    // Shows a box over the owner and returns where it was.
    RECT BoxOver(HWND owner, const std::string& text, LONG_PTR* textStyle = nullptr) {
        RECT frame{};
        const ShowResult shown =
            ShowAndDrive(owner, text, "Quillon", 0x30, "", [&](const BoxDriver& box) {
                ::GetWindowRect(box.box(), &frame);
                if (textStyle != nullptr)
                    *textStyle = ::GetWindowLongPtrW(box.Item(kMsgBoxTextId), GWL_STYLE);
                box.Click(1);
            });
        EXPECT_TRUE(shown.boxSeen);
        EXPECT_FALSE(shown.closedByRescue);
        return frame;
    }

    PixelRect work_;
    HWND owner_ = nullptr;
};

TEST_F(OnTheSecondMonitor, ABoxIsCentredOverItsOwnerThere) {
    HWND owner = MakeOwner(60, 40, 500, 300);
    ASSERT_NE(owner, nullptr);
    const RECT frame = BoxOver(owner, "Done.");
    RECT client{};
    ::GetClientRect(owner, &client);
    POINT origin{0, 0};
    ::ClientToScreen(owner, &origin);
    EXPECT_TRUE(Inside(frame, work_)) << Describe(frame);
    EXPECT_EQ(frame.left, origin.x + (client.right - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, origin.y + (client.bottom - (frame.bottom - frame.top)) / 2);
}

TEST_F(OnTheSecondMonitor, AReportLongerThanThatMonitorFitsOnIt) {
    std::string report;
    for (int i = 0; i < 120; ++i)
        report += "convert.exe: unable to open image `missing.png': No such file or directory.\r";
    HWND owner = MakeOwner(60, 40, 500, 300);
    ASSERT_NE(owner, nullptr);
    LONG_PTR textStyle = 0;
    const RECT frame = BoxOver(owner, report, &textStyle);
    EXPECT_TRUE(Inside(frame, work_)) << Describe(frame);
    EXPECT_NE(textStyle & WS_VSCROLL, 0);
}

TEST_F(OnTheSecondMonitor, ABoxOverASmallOwnerAtTheFarEdgeIsKeptOnThatMonitor) {
    HWND owner = MakeOwner(work_.width - 120, work_.height - 90, 120, 90);
    ASSERT_NE(owner, nullptr);
    const RECT frame = BoxOver(owner, "A box wider than its small owner.");
    EXPECT_TRUE(Inside(frame, work_)) << Describe(frame);
    // Kept on the work area by moving it as little as needed: against the far corner.
    EXPECT_EQ(frame.right, work_.x + work_.width);
    EXPECT_EQ(frame.bottom, work_.y + work_.height);
}

TEST_F(OnTheSecondMonitor, APopUpOverAMinimisedOwnerIsCentredOnThatMonitor) {
    HWND owner = MakeOwner(60, 40, 500, 300);
    ASSERT_NE(owner, nullptr);
    ::ShowWindow(owner, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(owner));
    HWND popup = ::CreateWindowExW(0, L"STATIC", L"Centred", WS_POPUP | WS_CAPTION, 0, 0, 301, 151,
                                   owner, nullptr, nullptr, nullptr);
    CenterOnOwner(popup);
    ExpectCentredOn(work_, popup);
    ::DestroyWindow(popup);
}

}  // namespace
}  // namespace quillon

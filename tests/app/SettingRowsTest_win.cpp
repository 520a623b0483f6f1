// A script with one setting of each type in the real window: its rows of controls, the values
// they give the batch, the values kept for the next window, and Reset.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <functional>
#include <string>

#include "app/MenuIds.h"
#include "app/SettingRows.h"
#include "app/SettingRows_win.h"
#include "app/ShowBatch_win.h"
#include "base/AnsiText_win.h"
#include "support/MainWindowHarness_win.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::MainWindowHarness;

constexpr char kScript[] =
    "<script args=\"0\" name=\"Every kind\">\r\n"
    "<param name=\"N\" label=\"Amount\" type=\"number\" min=\"0\" max=\"10\" step=\"0.5\" "
    "default=\"2\" unit=\"px\"/>\r\n"
    "<param name=\"C\" label=\"Corner\" type=\"choice\" choices=\"NorthWest|SouthEast\" "
    "default=\"SouthEast\"/>\r\n"
    "<param name=\"K\" label=\"Tint\" type=\"colour\" default=\"#102030\"/>\r\n"
    "<param name=\"S\" label=\"Framed\" type=\"switch\" on=\"yes\" off=\"no\" default=\"off\"/>\r\n"
    "<param name=\"T\" label=\"Caption\" type=\"text\" max=\"12\" default=\"Hello\"/>\r\n"
    "echo n=$N c=$C k=$K s=$S t=$T\r\n"
    "</script>\r\n";

struct RowCase {
    std::size_t row;
    const wchar_t* label;
    const wchar_t* controlClass;  // the setting's own control
    SettingPart typedInto;        // where the new value goes
    const wchar_t* typed;         // the new value (for a choice, the item; a switch, any)
    const char* defaultInBatch;
    const char* changedInBatch;  // empty: the value goes by variable, not into the text
    const char* kept;            // what the row shows in the next window
};

std::wstring ClassName(HWND control) {
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    return name;
}

std::wstring SpokenName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object))))
        return L"(none)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    std::wstring text = name == nullptr ? L"" : name;
    ::SysFreeString(name);
    object->Release();
    return text;
}

class SettingRow : public ::testing::TestWithParam<RowCase> {
  protected:
    void SetUp() override {
        harness_.folder().Write("every.xml", kScript);
        ASSERT_NE(harness_.Open(), nullptr);
        ASSERT_TRUE(harness_.ChooseScript("Every kind"));
    }
    HWND Part(SettingPart part) const {
        return harness_.Control(SettingControlId(GetParam().row, part));
    }
    void Change() {
        const RowCase& c = GetParam();
        HWND control = Part(c.typedInto);
        if (ClassName(control) == L"ComboBox") {
            ::SendMessageW(control, CB_SETCURSEL,
                           ::SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(c.typed)),
                           0);
        } else if (ClassName(control) == L"Button") {
            ::SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        } else {
            ::SetWindowTextW(control, c.typed);
        }
    }
    MainWindowHarness harness_;
};

TEST_P(SettingRow, HasItsControlsAndGivesItsValueToTheBatchUntilReset) {
    const RowCase& c = GetParam();
    const RECT reset = testing::ControlRect(harness_.Control(kSettingResetId));
    RECT client{};
    ::GetClientRect(harness_.window(), &client);
    EXPECT_LE(reset.bottom, client.bottom);
    EXPECT_GT(reset.top, 280) << "the rows sit under the slots";

    // The label, then each control, tab stops in Z order, named by the label before them.
    HWND label = Part(SettingPart::Label);
    HWND main = Part(SettingPart::Main);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ClassName(main), c.controlClass);
    EXPECT_EQ(::GetWindow(label, GW_HWNDNEXT), main);
    EXPECT_NE(::GetWindowLongPtrW(main, GWL_STYLE) & WS_TABSTOP, 0);
    // Wine's accessibility follows the label rule for edits alone; buttons carry their name.
    if (ClassName(main) == L"Edit" || ClassName(main) == L"Button") {
        EXPECT_EQ(SpokenName(main), c.label);
    }
    if (HWND second = Part(SettingPart::Second)) {
        EXPECT_EQ(::GetWindow(Part(SettingPart::SecondLabel), GW_HWNDNEXT), second);
        EXPECT_NE(::GetWindowLongPtrW(second, GWL_STYLE) & WS_TABSTOP, 0);
        EXPECT_EQ(SpokenName(second), c.label);
    }
    EXPECT_NE(BatchOfChosenScript(harness_.window()).find(c.defaultInBatch), std::string::npos);

    Change();
    const std::string changed = BatchOfChosenScript(harness_.window());
    if (ClassName(main) == TRACKBAR_CLASSW) {
        EXPECT_EQ(::SendMessageW(main, TBM_GETPOS, 0, 0), 15) << "the slider follows the field";
    }
    if (*c.changedInBatch != '\0') {
        EXPECT_NE(changed.find(c.changedInBatch), std::string::npos) << changed;
    }

    // A new window over the same script shows the value again, until Reset.
    ::DestroyWindow(harness_.window());
    ASSERT_NE(harness_.Open(), nullptr);
    ASSERT_TRUE(harness_.ChooseScript("Every kind"));
    EXPECT_EQ(SettingRowValues(harness_.window()).at(c.row).second, c.kept);
    EXPECT_EQ(BatchOfChosenScript(harness_.window()), changed);
    ::SendMessageW(harness_.window(), WM_COMMAND, MAKEWPARAM(kSettingResetId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(harness_.Control(kSettingResetId)));
    EXPECT_NE(BatchOfChosenScript(harness_.window()).find(c.defaultInBatch), std::string::npos);
    ::DestroyWindow(harness_.window());
    ASSERT_NE(harness_.Open(), nullptr);
    ASSERT_TRUE(harness_.ChooseScript("Every kind"));
    EXPECT_NE(BatchOfChosenScript(harness_.window()).find(c.defaultInBatch), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, SettingRow,
    ::testing::Values(
        RowCase{0, L"Amount", TRACKBAR_CLASSW, SettingPart::Second, L"7,5", "n=2 ", "n=7.5 ",
                "7.5"},
        RowCase{1, L"Corner", L"ComboBox", SettingPart::Main, L"NorthWest", "c=SouthEast",
                "c=NorthWest", "NorthWest"},
        RowCase{2, L"Tint", L"Button", SettingPart::Second, L"#A0B0C0", "k=#102030", "k=#a0b0c0",
                "#a0b0c0"},
        RowCase{3, L"Framed", L"Button", SettingPart::Main, L"", "s=no", "s=yes", "on"},
        RowCase{4, L"Caption", L"Edit", SettingPart::Main, L"Bye", "echo", "", "Bye"}));

TEST(SettingRows, AScriptWithoutSettingsLeavesTheWindowAsItWas) {
    MainWindowHarness harness;
    harness.folder().Write("every.xml", kScript);
    harness.AddScript("plain.xml", 1, "Plain");
    ASSERT_NE(harness.Open(), nullptr);
    RECT before{};
    ::GetClientRect(harness.window(), &before);
    ASSERT_TRUE(harness.ChooseScript("Every kind"));
    RECT grown{};
    ::GetClientRect(harness.window(), &grown);
    EXPECT_EQ(grown.bottom - before.bottom, SettingRowsHeight(5));
    ASSERT_TRUE(harness.ChooseScript("Plain"));
    RECT after{};
    ::GetClientRect(harness.window(), &after);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(harness.Control(kSettingResetId), nullptr);
}

// Worked as a user works them: the colour button's dialog gives the row its value, and the
// batch box's Copy puts the batch with that value on the clipboard.
TEST(SettingRows, TheColourDialogSetsTheValueAndTheBatchBoxCopiesIt) {
    MainWindowHarness harness;
    harness.folder().Write("every.xml", kScript);
    ASSERT_NE(harness.Open(), nullptr);
    ASSERT_TRUE(harness.ChooseScript("Every kind"));
    HWND window = harness.window();
    // Opens a dialog of the window's and works it from a second thread.
    const auto inDialog = [window](const std::function<void()>& open,
                                   std::function<void(HWND)> act) {
        testing::ModalDriver driver(
            [window] {
                HWND d = ::FindWindowW(L"#32770", nullptr);
                while (d != nullptr &&
                       !(::IsWindowVisible(d) && ::GetWindow(d, GW_OWNER) == window))
                    d = ::FindWindowExW(nullptr, d, L"#32770", nullptr);
                return d;
            },
            std::move(act), [](HWND d) { ::PostMessageW(d, WM_COMMAND, IDCANCEL, 0); });
        open();
        driver.Finish();
        return driver.Found();
    };
    EXPECT_TRUE(inDialog([&] { harness.Click(SettingControlId(2, SettingPart::Main), BN_CLICKED); },
                         [](HWND dialog) {
                             ::SetDlgItemInt(dialog, 706, 160, FALSE);  // red, green, blue
                             ::SetDlgItemInt(dialog, 707, 176, FALSE);
                             ::SetDlgItemInt(dialog, 708, 192, FALSE);
                             ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                         }));
    EXPECT_EQ(SettingRowValues(window).at(2).second, "#a0b0c0");

    ASSERT_TRUE(::OpenClipboard(nullptr) && ::EmptyClipboard() && ::CloseClipboard());
    EXPECT_TRUE(inDialog([&] { ::SendMessageW(window, WM_COMMAND, kCmdShowBatch, 0); },
                         [](HWND dialog) {
                             HWND copy = ::FindWindowExW(dialog, nullptr, L"Button", L"Copy");
                             ::PostMessageW(dialog, WM_COMMAND, ::GetDlgCtrlID(copy), 0);
                             ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                         }));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* copied = static_cast<const wchar_t*>(data ? ::GlobalLock(data) : nullptr);
    const std::wstring text = copied != nullptr ? copied : L"";
    if (copied != nullptr)
        ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_NE(text.find(L"echo n=2 c=SouthEast k=#a0b0c0 s=no"), std::wstring::npos)
        << text.c_str();
}

}  // namespace
}  // namespace quillon

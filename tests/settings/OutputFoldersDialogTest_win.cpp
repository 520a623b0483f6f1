// The "Output folders" dialog of the real Quillon.exe, opened from its popup menu's command
// and answered from this process as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/Printing.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

using testing::operator<<;

namespace fs = std::filesystem;

constexpr wchar_t kDialogTitle[] = L"Output folders";
constexpr int kOutputFoldersCommand = 1051;
constexpr int kSaveButton = 1002;
constexpr int kOptionIds[] = {1010, 1011, 1012, 1013, 1014};

class OutputFoldersDialog : public ::testing::Test {
  protected:
    void SetUp() override { fs::remove(testing::QuillonPositionFile()); }
    void TearDown() override {
        if (dialog_ != nullptr && ::IsWindow(dialog_))
            ::PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
        quillon_.reset();
        fs::remove(testing::QuillonPositionFile());
    }

    fs::path SettingsFile() const { return folder_.path() / "Quillon.opt"; }

    // Starts the program with this settings file (none when absent).
    void Start(const std::optional<std::string>& settings) {
        if (settings)
            folder_.Write("Quillon.opt", *settings);
        quillon_.emplace(folder_.path(), testing::RunningQuillon::Files{});
        ASSERT_NE(quillon_->window(), nullptr);
    }

    HWND Open() {
        ::PostMessageW(quillon_->window(), WM_COMMAND, MAKEWPARAM(kOutputFoldersCommand, 0), 0);
        dialog_ = quillon_->WaitForPopUp(kDialogTitle);
        return dialog_;
    }

    std::vector<int> Checked() const {
        std::vector<int> checked;
        for (const int id : kOptionIds) {
            if (::SendDlgItemMessageW(dialog_, id, BM_GETCHECK, 0, 0) == BST_CHECKED)
                checked.push_back(id);
        }
        return checked;
    }

    bool Ended() {
        return testing::WaitUntil([&] { return !::IsWindow(dialog_); });
    }

    void Click(int id) { ::PostMessageW(::GetDlgItem(dialog_, id), BM_CLICK, 0, 0); }

    testing::TempFolder folder_;
    std::optional<testing::RunningQuillon> quillon_;
    HWND dialog_ = nullptr;
};

struct ControlRow {
    int id;
    const wchar_t* text;
    RECT at;  // left, top, right, bottom in the dialog's client pixels
    DWORD type;
};

TEST_F(OutputFoldersDialog, IsLaidOutAsTabledAndCentredOverTheMainWindow) {
    Start(std::nullopt);
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);

    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 280);
    EXPECT_EQ(client.bottom, 222);
    const LONG style = ::GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

    // Centred over the main window's client area, halves truncated.
    RECT main{};
    ::GetClientRect(quillon_->window(), &main);
    POINT origin{0, 0};
    ::ClientToScreen(quillon_->window(), &origin);
    RECT outer{};
    ::GetWindowRect(dialog, &outer);
    EXPECT_EQ(outer.left, origin.x + (main.right - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, origin.y + (main.bottom - (outer.bottom - outer.top)) / 2);

    const ControlRow rows[] = {
        {1008, L"Scripts without argument (0 input pic)", {8, 8, 272, 80}, BS_GROUPBOX},
        {1010, L"Create output pic in program folder", {24, 32, 256, 48}, BS_AUTORADIOBUTTON},
        {1011, L"Ask output folder at every creation", {24, 56, 256, 72}, BS_AUTORADIOBUTTON},
        {1009, L"Scripts with 1 or more arguments", {8, 88, 272, 184}, BS_GROUPBOX},
        {1012,
         L"Create output in same folder as 1st input pic",
         {24, 112, 256, 128},
         BS_AUTORADIOBUTTON},
        {1013, L"Create output pic in program folder", {24, 136, 256, 152}, BS_AUTORADIOBUTTON},
        {1014, L"Ask output folder at every creation", {24, 160, 256, 176}, BS_AUTORADIOBUTTON},
        {1002, L"Save settings", {66, 192, 210, 216}, BS_PUSHBUTTON},
    };
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.id);
        HWND control = ::GetDlgItem(dialog, row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(testing::TextOf(control), row.text);
        RECT at{};
        ::GetWindowRect(control, &at);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(at.left, row.at.left);
        EXPECT_EQ(at.top, row.at.top);
        EXPECT_EQ(at.right, row.at.right);
        EXPECT_EQ(at.bottom, row.at.bottom);
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE)) & BS_TYPEMASK, row.type);
    }
    // Each group of options starts a tab group of its own.
    for (const int first : {1010, 1012})
        EXPECT_NE(::GetWindowLongW(::GetDlgItem(dialog, first), GWL_STYLE) & WS_GROUP, 0);
}

struct PolicyCase {
    const char* name;
    std::optional<std::string> settings;
    std::vector<int> shown;
    std::string saved;  // the settings file after "Save settings" with nothing touched
};

class OutputFoldersPolicy : public OutputFoldersDialog,
                            public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(OutputFoldersPolicy, OpensShowingTheSettingsAndSavesWhatItShows) {
    Start(GetParam().settings);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Checked(), GetParam().shown);
    Click(kSaveButton);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(testing::ReadBytes(SettingsFile()), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputFoldersPolicy,
    ::testing::Values(PolicyCase{"NoFileIsTheDefault", std::nullopt, {1010, 1012}, "\x01\x01"},
                      PolicyCase{"OneByteLeavesTheSecondGroupEmpty", "\x02", {1011}, "\x02\x02"},
                      PolicyCase{"EmptyFileLeavesBothGroupsEmpty", "", {}, "\x01\x02"},
                      PolicyCase{"AskAndAsk", "\x02\x03", {1011, 1014}, "\x02\x03"},
                      PolicyCase{"ProgramFolderForBoth", "\x01\x02", {1010, 1013}, "\x01\x02"},
                      PolicyCase{"ValuesBeyondTheGroupsSelectNothing", "\x03\x04", {}, "\x01\x02"}),
    testing::CaseName());

TEST_F(OutputFoldersDialog, SavedChoicesAreWrittenAndShownAtTheNextOpening) {
    Start(std::nullopt);
    ASSERT_NE(Open(), nullptr);
    Click(1011);
    Click(1014);
    ASSERT_TRUE(testing::WaitUntil([&] { return Checked() == std::vector<int>{1011, 1014}; }));
    Click(kSaveButton);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(testing::ReadBytes(SettingsFile()), "\x02\x03");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Checked(), (std::vector<int>{1011, 1014}));
}

// How the user leaves the dialog without pressing "Save settings".
struct LeaveCase {
    const char* name;
    UINT message;
    WPARAM wParam;
};

class OutputFoldersLeft : public OutputFoldersDialog,
                          public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(OutputFoldersLeft, EndsTheDialogAndSavesNothing) {
    Start(std::nullopt);
    ASSERT_NE(Open(), nullptr);
    Click(1011);
    Click(1013);
    ASSERT_TRUE(testing::WaitUntil([&] { return Checked() == std::vector<int>{1011, 1013}; }));
    ::PostMessageW(dialog_, GetParam().message, GetParam().wParam, 0);
    ASSERT_TRUE(Ended());
    EXPECT_FALSE(fs::exists(SettingsFile()));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Checked(), (std::vector<int>{1010, 1012}));
}

INSTANTIATE_TEST_SUITE_P(Ways, OutputFoldersLeft,
                         ::testing::Values(LeaveCase{"CloseButton", WM_SYSCOMMAND, SC_CLOSE},
                                           LeaveCase{"Escape", WM_KEYDOWN, VK_ESCAPE}),
                         testing::CaseName());

}  // namespace
}  // namespace quillon

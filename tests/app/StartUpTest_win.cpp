// Quillon.exe itself, started from a fresh program folder under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/MenuIds.h"
#include "pictures/InputSlots.h"
#include "support/MainWindowHarness_win.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::StartedProgram;
using testing::TempFolder;

constexpr wchar_t kTitle[] = L"Quillon v0.1 - Veltrane 2014";

void CloseFromSystemMenu(HWND window) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST(StartUp, ListsTheScriptsOfItsFolderAndExitsWithZeroWhenClosed) {
    TempFolder folder;
    const std::wstring exe = testing::InstallQuillon(folder.path().wstring(), true);
    StartedProgram quillon(exe, L"");
    ASSERT_TRUE(quillon.Started());
    HWND window = quillon.WaitForWindow(kTitle);
    ASSERT_NE(window, nullptr);

    const std::vector<std::wstring> items =
        testing::ComboItems(::GetDlgItem(window, kScriptListId));
    EXPECT_EQ(items.size(), 16u);
    EXPECT_NE(std::find(items.begin(), items.end(), L"Two pictures side by side"), items.end());

    CloseFromSystemMenu(window);
    EXPECT_EQ(quillon.WaitForExit(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "Xml_Log.txt"));
}

TEST(StartUp, EmptyFolderOffersTheMarkerAndArgumentsAreIgnored) {
    TempFolder folder;
    const std::wstring exe = testing::InstallQuillon(folder.path().wstring(), false);
    StartedProgram quillon(exe, L"/unknown --switch C:\\nothing.xml");
    HWND window = quillon.WaitForWindow(kTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(testing::ComboItems(::GetDlgItem(window, kScriptListId)),
              (std::vector<std::wstring>{L"[ No valid ImageMagick script (.xml) found ]"}));
    EXPECT_EQ(testing::TextOf(::GetDlgItem(window, kInputStatusId)),
              L"Select a script from the drop-down menu");
    CloseFromSystemMenu(window);
    EXPECT_EQ(quillon.WaitForExit(), 0);
}

TEST(StartUp, EscapeAndEnterDoNotCloseTheWindow) {
    TempFolder folder;
    StartedProgram quillon(testing::InstallQuillon(folder.path().wstring(), false), L"");
    HWND window = quillon.WaitForWindow(kTitle);
    ASSERT_NE(window, nullptr);
    ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    ::SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(::IsWindow(window));
    CloseFromSystemMenu(window);
    EXPECT_EQ(quillon.WaitForExit(), 0);
}

// ---- Pictures from Explorer ----------------------------------------------------------

std::string PictureScript(int args) {
    return "<script args=\"" + std::to_string(args) + "\" name=\"Takes pictures\">\r\n" +
           "convert %1 out.png\r\n</script>\r\n";
}

std::wstring Quoted(const std::filesystem::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

TEST(PicturesFromExplorer, TwoOnTheCommandLineFillSlotsOneAndTwo) {
    TempFolder folder;
    testing::RunningQuillon quillon(folder.path(), {{"two.xml", PictureScript(2)}},
                                    Quoted(testing::TestPicture("photo.jpg")) + L" " +
                                        Quoted(testing::TestPicture("tall.png")));
    ASSERT_NE(quillon.window(), nullptr);
    EXPECT_EQ(quillon.Text(kInputStatusId), "Choose a script for 2 pictures");
    quillon.ChooseFirstScript();
    EXPECT_TRUE(testing::WaitUntil([&] { return quillon.Enabled(kExecuteButtonId); }));
    EXPECT_EQ(quillon.Text(kInputStatusId).rfind("tall.png ", 0), 0u)
        << quillon.Text(kInputStatusId);
}

TEST(PicturesFromExplorer, AFolderBecomesSlotOnesSet) {
    TempFolder folder;
    const std::filesystem::path pictures = folder.path() / "pictures";
    std::filesystem::create_directory(pictures);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        std::filesystem::copy_file(testing::TestPicture("photo.jpg"), pictures / name);
    testing::RunningQuillon quillon(folder.path(), {{"one.xml", PictureScript(1)}},
                                    Quoted(pictures));
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    EXPECT_TRUE(testing::WaitUntil([&] { return quillon.Text(kInputStatusId) == "3 pictures"; }))
        << quillon.Text(kInputStatusId);
}

TEST(PicturesFromExplorer, ASecondStartHandsItsPictureToTheOpenWindowAndEnds) {
    TempFolder folder;
    testing::RunningQuillon first(folder.path(), {{"one.xml", PictureScript(1)}});
    ASSERT_NE(first.window(), nullptr);
    first.ChooseFirstScript();
    StartedProgram second((folder.path() / L"Quillon.exe").wstring(),
                          Quoted(testing::TestPicture("photo.jpg")));
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_TRUE(testing::WaitUntil([&] { return first.Enabled(kExecuteButtonId); }));
    EXPECT_EQ(first.Text(kInputStatusId).rfind("photo.jpg ", 0), 0u) << first.Text(kInputStatusId);
}

// ---- The keyboard -------------------------------------------------------------------

TEST(Keyboard, TabReachesSlotOneWhereEnterChoosesAPictureAndDeleteEmptiesIt) {
    TempFolder folder;
    testing::RunningQuillon quillon(folder.path(), {{"one.xml", PictureScript(1)}});
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    HWND slot = quillon.Control(kSlotIdBase + 1);
    for (int i = 0; i < 6 && quillon.Focus() != slot; ++i) {
        const HWND before = quillon.Focus();
        quillon.Key(VK_TAB);
        testing::WaitUntil([&] { return quillon.Focus() != before; });
    }
    ASSERT_EQ(quillon.Focus(), slot) << "Tab never reached slot 1";
    quillon.Key(VK_RETURN);
    ASSERT_TRUE(quillon.AnswerChooser(testing::TestPicture("photo.jpg")));

    ASSERT_TRUE(testing::WaitUntil([&] { return quillon.Focus() == slot; }));
    quillon.Key(VK_DELETE);
    EXPECT_TRUE(testing::WaitUntil([&] { return !quillon.Enabled(kExecuteButtonId); }));
    EXPECT_EQ(quillon.Text(kInputStatusId), "Drag & drop a picture on the area above");
}

// ---- quillon-cli.exe ------------------------------------------------------------------

std::wstring CliPath() {
    return testing::WindowsPath(testing::RequiredEnvironment("QUILLON_CLI"));
}

TEST(QuillonCli, CheckWritesTheLogWithCrLfAndTheFolderWithOneBackslash) {
    TempFolder folder;
    folder.Write("one.xml", "<script args=\"2\" name=\"Pair\">\r\nconvert a b\r\n</script>\r\n");
    const auto result =
        testing::RunConsole(CliPath(), L"check \"" + folder.path().wstring() + L"\\\\\"");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "Program initial scan: looking for all .xml in " +
                                 folder.WithSeparator() +
                                 "\r\nFound a total of 1 xml. Analysis started...\r\n\r\n"
                                 "Extracting info from xml #1 - \"one.xml\"\r\n"
                                 "Found correct tag <script ...>\r\nDescription: \"Pair\"\r\n"
                                 "This script takes 2 input pic(s) as parameter\r\n\r\n");
}

TEST(QuillonCli, ListAndBodyShowTheCatalogue) {
    TempFolder folder;
    folder.Write("one.xml",
                 "<script args=\"1\" name=\" One \" erase_temp=\"true\">\r\n"
                 "convert $NAME.$EXT -resize 50% out.png\r\n");
    const auto list = testing::RunConsole(CliPath(), L"list \"" + folder.path().wstring() + L"\"");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.output, "1\tOne\t1\t1\tone.xml\n");
    const auto body =
        testing::RunConsole(CliPath(), L"body \"" + folder.path().wstring() + L"\" 1");
    EXPECT_EQ(body.exitCode, 0);
    EXPECT_EQ(body.output, "convert $NAME1.$EXT1 -resize 50%% out.png\r\n");
}

TEST(QuillonCli, MissingFolderOrBadPositionExitsWithThree) {
    TempFolder folder;
    EXPECT_EQ(testing::RunConsole(CliPath(), L"check \"" + folder.path().wstring() + L"\\none\"")
                  .exitCode,
              3);
    EXPECT_EQ(
        testing::RunConsole(CliPath(), L"body \"" + folder.path().wstring() + L"\" 2").exitCode, 3);
    EXPECT_EQ(
        testing::RunConsole(CliPath(), L"body \"" + folder.path().wstring() + L"\" x").exitCode, 3);
    EXPECT_EQ(testing::RunConsole(CliPath(), L"frobnicate").exitCode, 3);
}

}  // namespace
}  // namespace quillon

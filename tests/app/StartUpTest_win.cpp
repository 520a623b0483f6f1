// Quillon.exe itself, started from a fresh program folder under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/MenuIds.h"
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

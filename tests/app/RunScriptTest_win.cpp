// Scripts run end to end: the real Quillon.exe, the real command interpreter and the real
// ImageMagick 6 of the test prefix, driven from this process as a user would drive them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/MenuIds.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/Handles_win.h"
#include "pictures/InputSlots.h"
#include "support/MainWindowHarness_win.h"
#include "support/Printing.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::operator<<;

namespace fs = std::filesystem;
using testing::WaitUntil;
using Clock = std::chrono::steady_clock;
using testing::FileNameBox;
using testing::RunningQuillon;
using testing::TextOf;

std::string Script(int args, const std::string& body) {
    return "<script args=\"" + std::to_string(args) + "\" name=\"Test script\">\r\n" + body +
           "\r\n</script>\r\n";
}

fs::path CopyPicture(const fs::path& folder, const char* name, const char* as) {
    fs::copy_file(testing::TestPicture(name), folder / as);
    return folder / as;
}

// A picture's format and size as ImageMagick's own identify reads them.
std::string Identify(const fs::path& file) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const testing::ConsoleResult identified =
        testing::RunConsole(std::wstring(system) + L"\\cmd.exe",
                            L"/c identify -format %m:%wx%h \"" + file.wstring() + L"\"");
    return identified.output;
}

// Quillon in the test's folder, started by the test; Start gives it a one-picture script
// and chooses a copy of a test picture, named as, for its slot.
class QuillonInFolder : public ::testing::Test {
  protected:
    void Start(const std::string& body, const char* picture = "small.gif",
               const char* as = "dot.gif") {
        const fs::path photo = CopyPicture(folder.path(), picture, as);
        quillon.emplace(folder.path(), Script(1, body));
        ASSERT_NE(quillon->window(), nullptr);
        quillon->ChooseFirstScript();
        ASSERT_TRUE(quillon->FillSlot(1, photo));
    }
    testing::TempFolder folder;
    std::optional<RunningQuillon> quillon;
};
using RunScript = QuillonInFolder;
using RunScriptWithImageMagick7 = QuillonInFolder;
using OutputFolderQuestion = QuillonInFolder;

TEST_F(RunScript, AResizedPhotoIsCreatedShownAndNamed) {
    ASSERT_NO_FATAL_FAILURE(
        Start("convert $NAME.$EXT -resize 50% $NAME_small.$EXT", "photo.jpg", "beach.jpg"));
    EXPECT_EQ(quillon->Text(kInputStatusId), "beach.jpg 1600x1200");
    quillon->Execute();
    ASSERT_TRUE(WaitUntil([&] {
        return quillon->Text(kOutputStatusId) == "beach_small.jpg created";
    })) << quillon->Text(kOutputStatusId);
    EXPECT_EQ(Identify(folder.path() / "beach_small.jpg"), "JPEG:800x600");
    EXPECT_FALSE(fs::exists(folder.path() / "script.bat"));
    EXPECT_EQ(quillon->Close(), 0);
}

// Only in the ImageMagick 7 prefix (tests/cli/check-imagemagick7.sh).
TEST_F(RunScriptWithImageMagick7, ConvertReachesMagickAndTheRunIsQuiet) {
    if (std::getenv("QUILLON_IMAGEMAGICK7") == nullptr)
        GTEST_SKIP() << "runs in the ImageMagick 7 prefix only";
    ASSERT_NO_FATAL_FAILURE(
        Start("convert $NAME.$EXT -flatten -resize 25% small.png", "two.psd", "a.psd"));
    EXPECT_EQ(quillon->Text(kInputStatusId), "a.psd 640x200");
    quillon->Execute();
    // Made, and no message box (the disk tool's complaint, a notice) holding the status back.
    ASSERT_TRUE(WaitUntil([&] { return quillon->Text(kOutputStatusId) == "small.png created"; }));
}

TEST_F(RunScript, TwoPicturesInAFolderWithABlankAreComposited) {
    const fs::path work = folder.path() / "My Work";
    fs::create_directory(work);
    const fs::path cat = CopyPicture(work, "tall.png", "cat.png");
    const fs::path logo = CopyPicture(work, "small.gif", "logo.gif");
    quillon.emplace(work, Script(2,
                                 "convert $NAME2.$EXT2 -resize $WIDTH1x$HEIGHT1! "
                                 "tmp_logo.png\r\n"
                                 "composite -dissolve 50 tmp_logo.png $NAME1.$EXT1 "
                                 "result.png"));
    ASSERT_NE(quillon->window(), nullptr);
    quillon->ChooseFirstScript();
    ASSERT_TRUE(quillon->FillSlot(1, cat));
    ASSERT_TRUE(quillon->FillSlot(2, logo));
    quillon->Execute();
    ASSERT_TRUE(WaitUntil([&] { return quillon->Text(kOutputStatusId) == "result.png created"; }))
        << quillon->Text(kOutputStatusId);
    EXPECT_EQ(Identify(work / "result.png"), "PNG:600x900");
    EXPECT_EQ(quillon->Close(), 0);
}

TEST_F(RunScript, PrintedTextWithAnOutputIsAWarning) {
    ASSERT_NO_FATAL_FAILURE(Start("convert $NAME.$EXT out.png\r\necho careful out.png"));
    quillon->Execute();
    const std::string expected = (folder.path() / "out.png").string() +
                                 " is created but threw a warning:\r\n\r\ncareful out.png";
    EXPECT_EQ(quillon->AnswerMessage(), expected);
    ASSERT_TRUE(WaitUntil([&] { return quillon->Text(kOutputStatusId) == "out.png created"; }));
    EXPECT_EQ(quillon->Close(), 0);
}

// GDI+ reads no WebP: the output area shows the result through ImageMagick's reduced copy.
TEST_F(RunScript, AWebPResultIsShownInTheOutputArea) {
    ASSERT_NO_FATAL_FAILURE(Start("convert $NAME.$EXT -define webp:lossless=true out.webp"));
    quillon->Execute();
    ASSERT_TRUE(WaitUntil([&] { return quillon->Text(kOutputStatusId) == "out.webp created"; }))
        << quillon->Text(kOutputStatusId);
    // small.gif is red all over, 100 x 50, drawn at its own size in the middle of the area.
    RECT area{};
    ::GetWindowRect(quillon->Control(kOutputPictureId), &area);
    const WindowDc screen(nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        return ::GetPixel(screen.get(), (area.left + area.right) / 2,
                          (area.top + area.bottom) / 2) == RGB(255, 0, 0);
    }));
    EXPECT_EQ(quillon->Close(), 0);
}

TEST_F(RunScript, AFailingScriptShowsImageMagicksErrorAndNoPicture) {
    ASSERT_NO_FATAL_FAILURE(Start("convert missing.png out.png"));
    quillon->Execute();
    const std::string message = quillon->AnswerMessage();
    EXPECT_NE(message.find("missing.png"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(folder.path() / "out.png"));
    EXPECT_EQ(quillon->Text(kOutputStatusId), "");
    EXPECT_EQ(quillon->Close(), 0);
}

// ---- Names the batch must carry unchanged -----------------------------------------------

struct NameCase {
    const char* name;
    const wchar_t* picture;
    const wchar_t* folder = L"";  // of the program and the picture, inside the test's folder
};

class UnusualPictureName : public ::testing::TestWithParam<NameCase> {};

TEST_P(UnusualPictureName, ReachesImageMagickAsTheUsersOwnName) {
    testing::TempFolder root;
    const fs::path folder = root.path() / GetParam().folder;
    const fs::path picture = folder / GetParam().picture;
    fs::create_directories(folder);
    fs::copy_file(testing::TestPicture("small.gif"), picture);
    std::ofstream(folder / "victim.txt") << "still here";
    RunningQuillon quillon(folder, Script(1, "convert $NAME.$EXT $NAME_out.png"));
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(quillon.FillSlot(1, picture));
    EXPECT_EQ(TextOf(quillon.Control(kInputStatusId)), picture.filename().wstring() + L" 100x50");
    quillon.Execute();
    const std::wstring created = picture.stem().wstring() + L"_out.png created";
    EXPECT_TRUE(WaitUntil([&] { return TextOf(quillon.Control(kOutputStatusId)) == created; }))
        << quillon.Text(kOutputStatusId);
    EXPECT_TRUE(fs::exists(folder / "victim.txt")) << "a command hidden in the name ran";
    EXPECT_EQ(quillon.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnusualPictureName,
    ::testing::Values(
        NameCase{"Ampersand", L"a&del victim.txt.gif"}, NameCase{"Caret", L"up^del victim.txt.gif"},
        NameCase{"Percent", L"100%TEMP%.gif"},
        NameCase{"EveryOtherSyntaxCharacter", L"(a);b,c=d'e`f!g!h&del victim.txt.gif"},
        NameCase{"Accented", L"caf\u00e9 cr\u00e8me.gif"},
        NameCase{"EmojiNarrowNoBreakSpaceAndSyntaxInACjkFolder",
                 L"\U0001F600 9.41\u202fAM&del victim.txt %TEMP%^.gif", L"\u5199\u771f & co"}),
    testing::CaseName());

// ---- A chosen picture spoilt before Execute ---------------------------------------------

// ImageMagick's complaint naming the picture is shown; nothing is made or left behind.
struct SpoiltCase {
    const char* name;
    void (*spoil)(const fs::path& picture);
};

class SpoiltPicture : public QuillonInFolder, public ::testing::WithParamInterface<SpoiltCase> {};

TEST_P(SpoiltPicture, IsReportedAndLeavesNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(Start("convert $NAME.$EXT out.png"));
    GetParam().spoil(folder.path() / "dot.gif");
    quillon->Execute();
    const std::string message = quillon->AnswerMessage();
    EXPECT_NE(message.find("dot.gif"), std::string::npos) << message;
    EXPECT_EQ(quillon->Close(), 0);
    for (const char* left : {"out.png", "script.bat", "dump.txt"})
        EXPECT_FALSE(fs::exists(folder.path() / left)) << left;
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SpoiltPicture,
    ::testing::Values(SpoiltCase{"Deleted", [](const fs::path& p) { fs::remove(p); }},
                      SpoiltCase{"Truncated", [](const fs::path& p) { fs::resize_file(p, 20); }},
                      SpoiltCase{"BecameAFolder",
                                 [](const fs::path& p) {
                                     fs::remove(p);
                                     fs::create_directory(p);
                                 }}),
    testing::CaseName());

TEST(ScriptList, ShowsAnsiAndUtf8ScriptNamesAlike) {
    testing::TempFolder folder;
    const auto named = [](const std::string& name) {
        return "<script args=\"0\" name=\"" + name + "\">\r\nx\r\n</script>\r\n";
    };
    RunningQuillon quillon(folder.path(),
                           RunningQuillon::Files{{"a.xml", named("caf\xE9 ANSI")},
                                                 {"u.xml", named("caf\xC3\xA9 \xE5\x86\x99")}});
    EXPECT_EQ(testing::ComboItems(quillon.Control(kScriptListId)),
              (std::vector<std::wstring>{L"caf\u00e9 ANSI", L"caf\u00e9 \u5199"}));
    EXPECT_EQ(quillon.Close(), 0);
}

TEST(ScriptList, FollowsScriptsChangedOnDiskAndKeepsTheChosenOneWithItsPicture) {
    testing::TempFolder folder;
    const auto named = [](const std::string& name) {
        return "<script args=\"1\" name=\"" + name +
               "\">\r\nconvert $NAME.$EXT o.png\r\n</script>\r\n";
    };
    const fs::path photo = CopyPicture(folder.path(), "small.gif", "dot.gif");
    RunningQuillon quillon(folder.path(), RunningQuillon::Files{{"a.xml", named("First")}});
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(quillon.FillSlot(1, photo));
    std::vector<std::wstring> items;
    const auto listed = [&](std::vector<std::wstring> expected) {
        return WaitUntil([&] {
            items = testing::ComboItems(quillon.Control(kScriptListId));
            std::sort(items.begin(), items.end());  // the folder's order is the file system's
            return items == expected;
        });
    };
    std::ofstream(folder.path() / "b.xml", std::ios::binary) << named("Second");
    EXPECT_TRUE(listed({L"First", L"Second"})) << ::testing::PrintToString(items);
    std::ofstream(folder.path() / "a.xml", std::ios::binary) << named("First, edited elsewhere");
    EXPECT_TRUE(listed({L"First, edited elsewhere", L"Second"})) << ::testing::PrintToString(items);
    const LRESULT chosen = ::SendMessageW(quillon.Control(kScriptListId), CB_GETCURSEL, 0, 0);
    ASSERT_GE(chosen, 0);
    EXPECT_EQ(testing::ComboItems(quillon.Control(kScriptListId))[static_cast<std::size_t>(chosen)],
              L"First, edited elsewhere");
    EXPECT_EQ(quillon.Text(kInputStatusId), "dot.gif 100x50");
    EXPECT_TRUE(quillon.Enabled(kExecuteButtonId));
    EXPECT_EQ(quillon.Close(), 0);
}

// ---- Editing the selected script ----------------------------------------------------

TEST(EditScript, AScriptBrokenInTheEditorLeavesTheListAndTheWindowReturnsToNoScript) {
    testing::TempFolder folder;
    RunningQuillon quillon(folder.path(), Script(0, "convert rose: rose.png"));
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(WaitUntil([&] { return quillon.Enabled(kEditScriptButtonId); }));
    // No editor is registered for scripts in the test prefix: the file changes "in the
    // editor" before the click, and the edit validates it at once.
    std::ofstream(folder.path() / "script.xml", std::ios::binary) << "no tag any more\r\n";
    quillon.Click(kEditScriptButtonId);
    EXPECT_EQ(quillon.AnswerMessage(),
              "Script is invalid! It has been removed from the drop-down list.\r\n"
              "Please fix the script and re-launch the program.");
    EXPECT_TRUE(WaitUntil([&] { return !quillon.Enabled(kEditScriptButtonId); }));
    EXPECT_EQ(::SendMessageW(quillon.Control(kScriptListId), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(quillon.Control(kScriptListId), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_FALSE(quillon.Enabled(kExecuteButtonId));
    EXPECT_EQ(quillon.Text(kInputStatusId), "Select a script from the drop-down menu");
    EXPECT_EQ(quillon.Text(kOutputStatusId), "   ...or use the popup menu on the right -->");
    EXPECT_EQ(quillon.Close(), 0);
}

TEST(EditScript, ARenamedScriptKeepsItsPicturesAndTheListShowsTheNewName) {
    testing::TempFolder folder;
    const fs::path photo = CopyPicture(folder.path(), "small.gif", "dot.gif");
    RunningQuillon quillon(folder.path(), Script(1, "convert $NAME.$EXT out.png"));
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(quillon.FillSlot(1, photo));
    std::ofstream(folder.path() / "script.xml", std::ios::binary)
        << "<script args=\"1\" name=\"Renamed\">\r\nconvert $NAME.$EXT o.png\r\n</script>\r\n";
    quillon.Click(kEditScriptButtonId);
    ASSERT_TRUE(
        WaitUntil([&] { return quillon.Text(kOutputStatusId) == "Script correctly updated"; }));
    EXPECT_EQ(testing::ComboItems(quillon.Control(kScriptListId)),
              (std::vector<std::wstring>{L"Renamed"}));
    EXPECT_EQ(::SendMessageW(quillon.Control(kScriptListId), CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(quillon.Enabled(kExecuteButtonId)) << "the picture stayed in its slot";
    EXPECT_EQ(quillon.Text(kInputStatusId), "dot.gif 100x50");
    EXPECT_EQ(quillon.Close(), 0);
}

TEST(ScriptChoice, TheMarkerAsksForANewScriptAndLeavesBothButtonsOff) {
    testing::TempFolder folder;
    RunningQuillon quillon(folder.path(), "not a script\r\n");
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(WaitUntil([&] {
        return quillon.Text(kInputStatusId) == "Create a new script from the popup menu -->";
    }));
    EXPECT_FALSE(quillon.Enabled(kEditScriptButtonId));
    EXPECT_FALSE(quillon.Enabled(kExecuteButtonId));
    EXPECT_EQ(quillon.Text(kOutputStatusId), "");
    EXPECT_EQ(quillon.Close(), 0);
}

// ---- The output folder question -------------------------------------------------------

// A settings file of one byte leaves the policy for scripts with pictures at "ask".
TEST_F(OutputFolderQuestion, OpensBesideTheWindowPreFilledAndCancellingRunsNothing) {
    std::ofstream(folder.path() / "Quillon.opt", std::ios::binary) << '\x01';
    ASSERT_NO_FATAL_FAILURE(Start("convert $NAME.$EXT out.png"));
    quillon->Execute();
    HWND question = quillon->WaitForPopUp(L"Select output folder...");
    ASSERT_NE(question, nullptr);
    RECT main{}, asked{};
    ::GetWindowRect(quillon->window(), &main);
    ASSERT_TRUE(WaitUntil([&] {
        ::GetWindowRect(question, &asked);
        return asked.left == main.left - 30 && asked.top == main.top - 50;
    })) << asked.left
        << "," << asked.top << " for a window at " << main.left << "," << main.top;
    EXPECT_EQ(TextOf(FileNameBox(question)), L"Produce output files in this folder");
    ::PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return quillon->Text(kOutputStatusId) == "ok (no output file)"; }));
    EXPECT_FALSE(fs::exists(folder.path() / "out.png"));
    EXPECT_FALSE(fs::exists(folder.path() / "script.bat"));
    EXPECT_EQ(quillon->Close(), 0);
}

// ---- One run at a time ----------------------------------------------------------------

// A script that runs until the test lets it finish, counting its runs.
std::string HeldScript() {
    return Script(0,
                  "echo run>>runs.txt\r\n:hold\r\nif not exist go.txt goto hold\r\n"
                  "convert rose: rose.png");
}

TEST(OneRunAtATime, ExecuteAndEditAreRefusedWhileAScriptRunsAndClosingThenIsClean) {
    testing::TempFolder folder;
    RunningQuillon quillon(folder.path(), HeldScript());
    ASSERT_NE(quillon.window(), nullptr);
    quillon.ChooseFirstScript();
    ASSERT_TRUE(WaitUntil([&] { return quillon.Enabled(kExecuteButtonId); }));
    quillon.Execute();
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(folder.path() / "runs.txt"); }));
    quillon.Execute();
    quillon.Click(kEditScriptButtonId);
    ::PostMessageW(quillon.window(), WM_COMMAND, kCmdDiagnostics, 0);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(folder.path() / "Xml_Log.txt"); }));
    std::ofstream(folder.path() / "go.txt") << "go";
    ASSERT_TRUE(WaitUntil([&] { return quillon.Text(kOutputStatusId) == "rose.png created"; }));
    EXPECT_EQ(testing::ReadBytes(folder.path() / "runs.txt"), "run\r\n");
    EXPECT_EQ(testing::ReadBytes(folder.path() / "Xml_Log.txt").find("User launched editing"),
              std::string::npos);

    // Closed in the middle of a second run: the process ends cleanly, the run's files go.
    fs::remove(folder.path() / "go.txt");
    quillon.Execute();
    ASSERT_TRUE(WaitUntil(
        [&] { return testing::ReadBytes(folder.path() / "runs.txt") == "run\r\nrun\r\n"; }));
    ::PostMessageW(quillon.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    std::ofstream(folder.path() / "go.txt") << "go";
    EXPECT_EQ(quillon.Close(), 0);
    EXPECT_FALSE(fs::exists(folder.path() / "script.bat"));
}

// Two Quillon windows share the runner's files in TEMP: the second run waits for the first.
TEST(OneRunAtATime, TwoProgramsTakeTurns) {
    testing::TempFolder root;
    const fs::path log = root.path() / "turns.txt";
    auto held = [](const char* who) {
        return Script(0, std::string("echo ") + who + " starts>>..\\turns.txt\r\n:hold\r\n" +
                             "if not exist go.txt goto hold\r\necho " + who +
                             " ends>>..\\turns.txt\r\nconvert rose: rose.png");
    };
    fs::create_directory(root.path() / "a");
    fs::create_directory(root.path() / "b");
    RunningQuillon first(root.path() / "a", held("a"));
    RunningQuillon second(root.path() / "b", held("b"));
    ASSERT_NE(first.window(), nullptr);
    ASSERT_NE(second.window(), nullptr);
    for (RunningQuillon* quillon : {&first, &second}) {
        quillon->ChooseFirstScript();
        ASSERT_TRUE(WaitUntil([&] { return quillon->Enabled(kExecuteButtonId); }));
    }
    first.Execute();
    ASSERT_TRUE(WaitUntil([&] { return testing::ReadBytes(log) == "a starts\r\n"; }));
    second.Execute();
    // The one bounded look at something that must not happen: left alone, the second run
    // would start within this time.
    const auto lookUntil = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < lookUntil && testing::ReadBytes(log) == "a starts\r\n")
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(testing::ReadBytes(log), "a starts\r\n");
    std::ofstream(root.path() / "a" / "go.txt") << "go";
    std::ofstream(root.path() / "b" / "go.txt") << "go";
    EXPECT_TRUE(WaitUntil([&] { return second.Text(kOutputStatusId) == "rose.png created"; }));
    EXPECT_EQ(testing::ReadBytes(log), "a starts\r\na ends\r\nb starts\r\nb ends\r\n");
    EXPECT_EQ(first.Text(kOutputStatusId), "rose.png created");
}

}  // namespace
}  // namespace quillon

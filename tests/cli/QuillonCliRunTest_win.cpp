// quillon-cli.exe batch and run under Wine, with the real command interpreter and
// ImageMagick behind the prefix's shims: what is made, printed and returned.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/Handles_win.h"
#include "pictures/PictureEngine_win.h"
#include "support/MainWindowHarness_win.h"
#include "support/Printing.h"
#include "support/RunCli_win.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::Ansi;
using testing::CliResult;
using testing::operator<<;
using testing::Quoted;
using testing::ReadBytes;
using testing::RunCli;
using testing::RunningQuillon;
using testing::TempFolder;
using testing::TestPicture;

// A script folder and a picture folder apart, so that where each file lands shows.
class CliScriptRun : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(scripts());
        fs::create_directory(pictures());
        fs::copy_file(TestPicture("tall.png"), picture());  // 600 x 900
    }
    fs::path scripts() const { return folder.path() / L"scripts"; }
    fs::path pictures() const { return folder.path() / L"pictures"; }
    fs::path picture() const { return pictures() / L"tall.png"; }
    fs::path Script(const char* name, const std::string& body, int args = 1) const {
        return fs::path(folder.Write("scripts/" + std::string(name),
                                     "<script args=\"" + std::to_string(args) +
                                         "\" name=\"Test\">\r\n" + body + "</script>\r\n"));
    }
    bool LeftABatch() const { return fs::exists(scripts() / L"script.bat"); }

    TempFolder folder;
};

// Width and height swapped, then scaled to a tenth: only sizes decoded from the picture
// give 90 x 60.
constexpr char kSwapBody[] =
    "convert $NAME.$EXT -resize $HEIGHTx$WIDTH! -scale 10% swapped.png\r\n";

TEST_F(CliScriptRun, RunMakesTheOutputBesideThePictureAndExitsZero) {
    const fs::path script = Script("swap.xml", kSwapBody);
    const CliResult result =
        RunCli(L"run " + Quoted(script) + L" " + Quoted(picture()), folder.path());
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    StartPictureEngine();
    const PictureOwner made = LoadPictureFile(Ansi(pictures() / L"swapped.png"));
    ASSERT_TRUE(made) << "swapped.png was not made";
    EXPECT_EQ(PictureSize(made.get()), (PixelSize{90, 60}));
    EXPECT_FALSE(LeftABatch());
}

TEST_F(CliScriptRun, RunIntoAnOutputFolderWorksThere) {
    const fs::path script = Script("scale.xml", "convert $NAME.$EXT -scale 10% copied.png\r\n");
    const fs::path out = folder.path() / L"out folder";
    fs::create_directory(out);
    fs::copy_file(picture(), out / L"tall.png");
    const CliResult result =
        RunCli(L"run --out " + Quoted(out) + L" " + Quoted(script) + L" " + Quoted(picture()),
               folder.path());
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(fs::exists(out / L"copied.png"));
    EXPECT_FALSE(fs::exists(pictures() / L"copied.png"));
}

TEST_F(CliScriptRun, OutputWithTheFileMadeIsAWarningExitingOne) {
    const fs::path script =
        Script("note.xml", "convert $NAME.$EXT -scale 10% small.png\r\necho made small.png\r\n");
    const CliResult result =
        RunCli(L"run " + Quoted(script) + L" " + Quoted(picture()), folder.path());
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_EQ(result.out, "made small.png\r\n");
    EXPECT_NE(result.err.find("is created but threw a warning"), std::string::npos) << result.err;
}

TEST_F(CliScriptRun, AFailingScriptExitsTwoWithImageMagicksMessage) {
    const fs::path script = Script("bad.xml", "convert $NAME.$EXT -frobnicate 3 bad.png\r\n");
    const CliResult result =
        RunCli(L"run " + Quoted(script) + L" " + Quoted(picture()), folder.path());
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_NE(result.out.find("unrecognized option"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("-frobnicate"), std::string::npos) << result.out;
    EXPECT_FALSE(fs::exists(pictures() / L"bad.png"));
    EXPECT_FALSE(LeftABatch());
}

TEST_F(CliScriptRun, WrongPictureCountExitsThreeAndRunsNothing) {
    const fs::path script = Script("swap.xml", kSwapBody);
    const CliResult none = RunCli(L"run " + Quoted(script), folder.path());
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_NE(none.err.find("usage"), std::string::npos) << none.err;
    const CliResult two =
        RunCli(L"run " + Quoted(script) + L" " + Quoted(picture()) + L" " + Quoted(picture()),
               folder.path());
    EXPECT_EQ(two.exitCode, 3);
    EXPECT_EQ(two.out, "");
    EXPECT_FALSE(fs::exists(pictures() / L"swapped.png"));
}

TEST_F(CliScriptRun, AMissingPictureExitsThreeWithOneLine) {
    const fs::path script = Script("swap.xml", kSwapBody);
    const CliResult result =
        RunCli(L"run " + Quoted(script) + L" " + Quoted(pictures() / L"none.png"), folder.path());
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("none.png"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
}

TEST_F(CliScriptRun, AnInvalidScriptExitsThree) {
    const fs::path script = folder.Write("scripts/nameless.xml", "<script args=\"1\">\r\nx\r\n");
    const CliResult result =
        RunCli(L"run " + Quoted(script) + L" " + Quoted(picture()), folder.path());
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("name="), std::string::npos) << result.err;
}

// Hostile names: in any language, with the characters the interpreter reads as syntax, long,
// in folders of their own. Each picture goes through run, then through each over a folder
// holding it, and must come out under its own name and size beside a victim file that a
// command hidden in the name would delete. A name Windows cannot hold is refused.
struct NameCase {
    const char* name;
    std::wstring place;
};

class HostileName : public CliScriptRun, public ::testing::WithParamInterface<NameCase> {};

TEST_P(HostileName, RunsUnderItsOwnNameAndLeavesNothingElse) {
    const fs::path script = Script("s.xml", "convert $NAME1.$EXT1 -scale 10% $NAME1_s.$EXT1\r\n");
    const bool legal = GetParam().place.find_first_of(L"<>|") == std::wstring::npos;
    for (const std::wstring command : {L"run", L"each"}) {
        if (command == L"each" && !legal)
            break;
        const fs::path input = folder.path() / command / GetParam().place;
        fs::create_directories(input.parent_path());
        std::ofstream(input.parent_path() / L"victim.txt") << "still here";
        if (legal)
            fs::copy_file(picture(), input);
        const fs::path target = command == L"run" ? input : input.parent_path();
        const CliResult result =
            RunCli(command + L" " + Quoted(script) + L" " + Quoted(target), folder.path());
        EXPECT_EQ(result.exitCode, legal ? 0 : 3) << Ansi(command) << result.out << result.err;
        EXPECT_EQ(result.err.empty(), legal) << Ansi(command) << result.err;
        const fs::path output =
            input.parent_path() / (input.stem().wstring() + L"_s" + input.extension().wstring());
        EXPECT_EQ(
            testing::RunConsole(L"C:\\imshim\\identify.exe", L"-format %wx%h " + Quoted(output))
                .output,
            legal ? "60x90" : "")
            << Ansi(command);
        // The picture, its output and the victim; each also leaves the log of its run.
        const int files = !legal ? 1 : command == L"each" ? 4 : 3;
        EXPECT_EQ(std::distance(fs::directory_iterator(input.parent_path()), {}), files);
        EXPECT_TRUE(fs::exists(input.parent_path() / L"victim.txt")) << "a hidden command ran";
        EXPECT_FALSE(LeftABatch());
    }
}

// A typed text reaches the tools as one argument exactly as typed, and never runs as a
// command: the script hands it to ImageMagick without quotes of its own and echoes it in
// quotes beside the picture, and a command hidden in it would make the canary. A double quote or a
// line break is refused before anything runs.
struct TextCase {
    const char* name;
    const wchar_t* argument;  // after --set, as the command line carries it
    const char* said;         // what the echo wrote, between its quotes; null: refused
};

class HostileText : public CliScriptRun, public ::testing::WithParamInterface<TextCase> {};

TEST_P(HostileText, ReachesTheToolsAsTypedOrIsRefused) {
    const fs::path script =
        Script("t.xml",
               "<param name=\"T\" label=\"Text\" type=\"text\" default=\"\"/>\r\n"
               "convert $NAME.$EXT -define quillon:text=$T -scale 10% $NAME_t.png\r\n"
               "echo '$T'> said.txt\r\n");
    const CliResult result = RunCli(std::wstring(L"run --set ") + GetParam().argument + L" " +
                                        Quoted(script) + L" " + Quoted(picture()),
                                    folder.path());
    EXPECT_FALSE(fs::exists(pictures() / L"canary.txt")) << "a command in the text ran";
    EXPECT_FALSE(LeftABatch());
    if (GetParam().said == nullptr) {
        EXPECT_EQ(result.exitCode, 3) << result.out << result.err;
        EXPECT_NE(result.err.find("cannot be passed"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(pictures() / L"tall_t.png"));
        return;
    }
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(fs::exists(pictures() / L"tall_t.png"));
    EXPECT_EQ(ReadBytes(pictures() / L"said.txt"), "\"" + std::string(GetParam().said) + "\"\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileText,
    ::testing::Values(
        TextCase{"Ampersand", L"\"T=a & echo x> canary.txt\"", "a & echo x> canary.txt"},
        TextCase{"Pipe", L"\"T=a | echo x> canary.txt\"", "a | echo x> canary.txt"},
        TextCase{"Variable", L"T=%PATH%", "%PATH%"},
        TextCase{"Caret", L"\"T=^& echo x> canary.txt ^\"", "^& echo x> canary.txt ^"},
        TextCase{"Bang", L"\"T=!PATH! & echo x> canary.txt\"", "!PATH! & echo x> canary.txt"},
        TextCase{"DoubleQuote", L"\"T=say \\\"hi\\\" & echo x> canary.txt\"", nullptr},
        TextCase{"LineBreak", L"\"T=a\necho x> canary.txt\"", nullptr}),
    [](const auto& test) { return std::string(test.param.name); });

// A runner file that cannot be written is reported with its path (the old file, or TEMP's
// temp.bat), and no older file of that name runs in its place. An old file is held open
// against writing: Wine run as root writes read-only files and folders all the same.
struct RunnerFileCase {
    const char* name;
    const wchar_t* temp;     // TEMP for the run, under the test's folder
    const wchar_t* oldFile;  // an old runner file with a canary, held open; or null
};

class CliRunnerFiles : public CliScriptRun, public ::testing::WithParamInterface<RunnerFileCase> {};

TEST_P(CliRunnerFiles, AnUnwritableRunnerFileIsAnErrorNamingItAndRunsNothingOld) {
    const RunnerFileCase& c = GetParam();
    const fs::path script = Script("made.xml", "echo made> made.txt\r\n", 0);
    fs::create_directory(folder.path() / L"temp");
    const fs::path canary = folder.path() / L"canary.txt";
    UniqueHandle held;
    if (c.oldFile != nullptr) {
        const fs::path old =
            folder.Write(Ansi(c.oldFile), "@echo ran> \"" + Ansi(canary) + "\"\r\n");
        held.Reset(::CreateFileW(old.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 0, nullptr));
        ASSERT_TRUE(held);
    }
    wchar_t oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", (folder.path() / c.temp).c_str());
    const CliResult result = RunCli(L"run " + Quoted(script), folder.path());
    ::SetEnvironmentVariableW(L"TEMP", oldTemp);
    EXPECT_EQ(result.exitCode, 4) << result.out << result.err;
    const fs::path reported =
        c.oldFile ? folder.path() / c.oldFile : folder.path() / c.temp / "temp.bat";
    EXPECT_NE(result.err.find(Ansi(reported)), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(canary));
    EXPECT_FALSE(fs::exists(scripts() / L"made.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliRunnerFiles,
    ::testing::Values(RunnerFileCase{"OldBatchInTheScriptFolder", L"temp", L"scripts\\script.bat"},
                      RunnerFileCase{"MissingTemp", L"gone", nullptr},
                      RunnerFileCase{"OldRunnerInTemp", L"temp", L"temp\\temp.bat"}),
    [](const auto& test) { return std::string(test.param.name); });

// When a process started (a number that only grows), or 0.
ULONGLONG StartOf(HANDLE process) {
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return (ULONGLONG{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

// Ends the command interpreter that process `parent` started, as Task Manager would, once
// there is one; false when none came. Wine soon gives a process id again, so an interpreter
// older than the parent is some earlier parent's.
bool EndInterpreterOf(DWORD parent) {
    UniqueHandle parentProcess(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, parent));
    const ULONGLONG parentStart = StartOf(parentProcess.get());
    return parentStart != 0 && testing::WaitUntil([parent, parentStart] {
               UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
               PROCESSENTRY32W entry{};
               entry.dwSize = sizeof(entry);
               for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
                    more = ::Process32NextW(snapshot.get(), &entry)) {
                   if (entry.th32ParentProcessID != parent ||
                       ::lstrcmpiW(entry.szExeFile, L"cmd.exe") != 0)
                       continue;
                   UniqueHandle interpreter(::OpenProcess(
                       PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                       entry.th32ProcessID));
                   // Ending is not immediate: until it has ended, the files it inherited
                   // stay open.
                   if (interpreter && StartOf(interpreter.get()) >= parentStart)
                       return ::TerminateProcess(interpreter.get(), 1) &&
                              ::WaitForSingleObject(interpreter.get(), 10000) == WAIT_OBJECT_0;
               }
               return false;
           });
}

struct KilledCase {
    const char* name;
    const char* body;  // makes "begun.txt", then never ends by itself
};

class CliKilledInterpreter : public CliScriptRun,
                             public ::testing::WithParamInterface<KilledCase> {};

TEST_P(CliKilledInterpreter, IsAFailureAndLeavesNoRunnerFile) {
    const fs::path script = Script("spin.xml", GetParam().body, 0);
    const fs::path temp = fs::path(folder.path()) / L"temp";
    fs::create_directory(temp);
    wchar_t oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    bool ended = false;
    const CliResult result = RunCli(L"run " + Quoted(script), folder.path(), [&](DWORD cli) {
        ended = testing::WaitUntil([&] { return fs::exists(scripts() / L"begun.txt"); }) &&
                EndInterpreterOf(cli);
    });
    ::SetEnvironmentVariableW(L"TEMP", oldTemp);
    ASSERT_TRUE(ended);
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_NE(result.err.find("spin"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_FALSE(LeftABatch());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliKilledInterpreter,
    ::testing::Values(KilledCase{"AfterPrinting",
                                 "echo started\r\ntype nul> begun.txt\r\n:spin\r\ngoto spin\r\n"},
                      KilledCase{"Quiet", "type nul> begun.txt\r\n:spin\r\ngoto spin\r\n"}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Names, HostileName,
    ::testing::Values(
        NameCase{"Japanese", L"\u65e5\u672c\u306e\u6d77.jpg"},
        NameCase{"Greek", L"\u0395\u03bb\u03bb\u03ac\u03b4\u03b1.png"},
        NameCase{"Russian", L"\u041c\u043e\u0441\u043a\u0432\u0430.jpg"},
        NameCase{"Emoji", L"smile \U0001F600.png"},
        NameCase{"NarrowNoBreakSpace", L"shot 9.41\u202fAM.png"},
        NameCase{"InACjkFolderWithAmpersand",
                 L"\u5199\u771f & co\\\u041c\u043e\u0441\u043a\u0432\u0430.jpg"},
        NameCase{"JapaneseWithSyntax", L"\u65e5\u672c & 5%^!.jpg"},
        NameCase{"GreekWithSyntax", L"\u0395\u03bb\u03bb\u03ac\u03b4\u03b1 %OS%^&echo x.png"},
        NameCase{"RussianWithSyntax", L"\u041c\u043e\u0441\u043a\u0432\u0430^&%.jpg"},
        NameCase{"EmojiWithSyntax", L"\U0001F600 & %PATH%.png"},
        NameCase{"NarrowNoBreakSpaceWithSyntax", L"9.41\u202fAM & 50%^.png"},
        NameCase{"AccentWithSyntax", L"caf\u00e9 & 5%^.jpg"},
        NameCase{"SyntaxInAFolderAndName", L"\u5199\u771f & co %OS%\\\u65e5\u672c^&x.png"},
        NameCase{"Ampersand", L"a&del victim.txt.png"}, NameCase{"Pipe", L"a|del victim.txt.png"},
        NameCase{"Less", L"a<victim.txt.png"}, NameCase{"Greater", L"a>victim.txt.png"},
        NameCase{"Caret", L"up^^x^.png"}, NameCase{"Percent", L"100%.png"},
        NameCase{"Bang", L"wow!.png"}, NameCase{"BangPair", L"!PATH!x!.png"},
        NameCase{"Parentheses", L"(1) copy).png"}, NameCase{"Semicolon", L"a;del victim.txt.png"},
        NameCase{"Comma", L"a,b.png"}, NameCase{"Equals", L"a=b.png"},
        NameCase{"Apostrophe", L"it's.png"}, NameCase{"Backquote", L"`del victim.txt`.png"},
        NameCase{"Blanks", L"two  blanks .png"},
        NameCase{"LeadingDotsAndBlanks", L" ..  hidden.png"},
        NameCase{"TrailingDotsAndBlanksInTheStem", L"end .. .png"},
        NameCase{"PathLike", L"%PATH%.png"}, NameCase{"Dp0Like", L"%~dp0%~nx1.png"},
        NameCase{"AllSyntaxMixed", L" ^&(x);,='`!%~dp0% & del victim.txt %1.png"},
        NameCase{"FolderOfSyntax", L"& ^ % ! ( ) ; , = ' `\\x.png"},
        NameCase{"TwoHundredCharacters", std::wstring(200, L'n') + L" & x.png"},
        NameCase{"PathNearMaxPath",
                 std::wstring(100, L'f') + L"\\" + std::wstring(92, L'n') + L".png"}),
    [](const auto& param) { return std::string(param.param.name); });

// Pictures that are broken, lie about their size or are no file at all: refused or reported,
// never a crash or a hang, the user's file unchanged and no work file left.
std::string Head(const char* picture, std::size_t size) {
    return ReadBytes(TestPicture(picture)).substr(0, size);
}

struct BadPictureCase {
    const char* name;
    const wchar_t* file;
    std::string (*bytes)();  // null: a folder of that name
    long exitCode;
    const char* says;
};

class CliBadPicture : public CliScriptRun, public ::testing::WithParamInterface<BadPictureCase> {};

TEST_P(CliBadPicture, IsRefusedOrReportedAndLeavesNothingBehind) {
    const BadPictureCase& c = GetParam();
    fs::remove(picture());
    const fs::path input = pictures() / c.file;
    const std::string bytes = c.bytes ? c.bytes() : std::string();
    if (c.bytes)
        folder.Write("pictures/" + Ansi(c.file), bytes);
    else
        fs::create_directory(input);
    const fs::path script = Script("s.xml", "convert $NAME1.$EXT1 -scale 10% $NAME1_s.png\r\n");
    const CliResult result = RunCli(L"run " + Quoted(script) + L" " + Quoted(input), folder.path());
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_NE((result.out + result.err).find(c.says), std::string::npos)
        << result.out << result.err;
    EXPECT_EQ(c.bytes ? ReadBytes(input) : "", bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(pictures()), {}), c.exitCode < 2 ? 2 : 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(scripts()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliBadPicture,
    ::testing::Values(
        BadPictureCase{"CorruptJpeg", L"bad.jpg", [] { return std::string("\xFF\xD8\xFF\xE0 no"); },
                       3, "cannot read or decode the picture"},
        BadPictureCase{"TruncatedJpeg", L"cut.jpg", [] { return Head("photo.jpg", 3000); }, 3,
                       "cannot read or decode the picture"},
        BadPictureCase{"TruncatedPng", L"cut.png", [] { return Head("tall.png", 300); }, 3,
                       "cannot read or decode the picture"},
        BadPictureCase{"TruncatedGif", L"cut.gif", [] { return Head("small.gif", 40); }, 3,
                       "cannot read or decode the picture"},
        BadPictureCase{"ClaimsSixtyThousandSquare", L"huge.png",
                       [] {
                           return std::string(
                               "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\xEA\x60\0\0\xEA\x60\x08\x02\0\0"
                               "\0\x0F\xB0\xE2\x15\0\0\0\x0BIDAT\x78\x9C\x63\x60\x80\x01\0\0\x0A\0"
                               "\x01\x7F\x80\x74\x5E\0\0\0\0IEND\xAE\x42\x60\x82",
                               68);
                       },
                       3, "cannot read or decode the picture"},
        BadPictureCase{"AFolder", L"folder.png", nullptr, 3, "cannot read or decode the picture"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CliScriptRun, BatchPrintsTheBatchWithDecodedSizesAndRunsNothing) {
    const fs::path script = Script("swap.xml", kSwapBody);
    const CliResult result =
        RunCli(L"batch " + Quoted(script) + L" " + Quoted(picture()), folder.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string folderText = Ansi(pictures()) + "\\";
    EXPECT_EQ(result.out,
              "pushd \"" + folderText +
                  "\" & if errorlevel 1 exit /b 1\r\nconvert tall.png -resize 900x600! -scale 10%% "
                  "swapped.png\r\n\r\npopd\r\n");
    EXPECT_FALSE(LeftABatch());
    EXPECT_FALSE(fs::exists(pictures() / L"swapped.png"));
}

// ---- each: one script over a folder of pictures -----------------------------------------

// Pictures whose names the command interpreter reads specially or its code page cannot
// hold, in four contents, so that a picture given another's result shows.
const std::pair<const wchar_t*, const char*> kSetPictures[] = {
    {L"a b.png", "tall.png"},      {L"x&y.png", "resource.png"},    {L"100%.png", "tall.png"},
    {L"c^d.png", "resource.png"},  {L"(e).png", "tall.png"},        {L"f).png", "resource.png"},
    {L"café.png", "tall.png"},     {L"naïve & co.png", "tall.png"}, {L"plain.gif", "small.gif"},
    {L"plain 2.gif", "small.gif"}, {L"Ünï^%.gif", "small.gif"},     {L"g&h.gif", "small.gif"},
    {L"i(j).bmp", "banner.bmp"},   {L"k%l%.bmp", "banner.bmp"},     {L"m n^.bmp", "banner.bmp"},
    {L"o.bmp", "banner.bmp"},      {L"p.png", "resource.png"},      {L"q r.png", "tall.png"},
    {L"s&t.png", "resource.png"},  {L"u(v) é.png", "tall.png"},     {L"日本の海.png", "tall.png"},
    {L"Москва.gif", "small.gif"},  {L"🌊 волна.bmp", "banner.bmp"},
};

struct EachCase {
    const char* name;
    const char* body;
    int args;
    const wchar_t* options;
    long exitCode;
    const char* suffix;  // of each output's base name; empty when no picture may be made
    const char* errorPart;
    const wchar_t* setFolder = L"pictures";
    const wchar_t* settings = L"";  // for the set and its single runs alike
};

class CliEach : public CliScriptRun, public ::testing::WithParamInterface<EachCase> {
  protected:
    fs::path logo() const { return folder.path() / L"logo.gif"; }
    fs::path reference() const { return folder.path() / L"single"; }
    // What a single run of the script makes for a picture of the given content.
    std::string SingleRun(const fs::path& script, const char* source, const char* suffix) {
        const fs::path picture = reference() / source;
        if (!fs::exists(picture)) {
            fs::copy_file(TestPicture(source), picture);
            const std::wstring logoArgument =
                GetParam().args == 2 ? L" " + Quoted(reference() / L"logo.gif") : L"";
            const CliResult single =
                RunCli(L"run " + std::wstring(GetParam().settings) + Quoted(script) + L" " +
                           Quoted(picture) + logoArgument,
                       folder.path());
            EXPECT_EQ(single.exitCode, 0) << single.out << single.err;
        }
        return ReadBytes(reference() / (fs::path(source).stem().wstring() +
                                        fs::path(suffix).wstring() + L".bmp"));
    }
};

TEST_P(CliEach, RunsEveryPictureAsASingleRunWould) {
    const EachCase& c = GetParam();
    const fs::path set = folder.path() / c.setFolder;
    fs::create_directories(set);
    for (const auto& [name, source] : kSetPictures)
        fs::copy_file(TestPicture(source), set / name);
    fs::remove(picture());
    fs::create_directory(reference());
    for (const fs::path& logoCopy : {logo(), reference() / L"logo.gif"})
        fs::copy_file(TestPicture("small.gif"), logoCopy);
    const bool broken = c.exitCode == 2;
    if (broken)
        folder.Write("pictures/broken.png", "not a picture at all");
    const fs::path script = Script("each.xml", c.body, c.args);

    const CliResult result =
        RunCli(L"each " + std::wstring(c.options) + c.settings + Quoted(script) + L" " +
                   Quoted(set) + (c.args == 2 ? L" " + Quoted(logo()) : L""),
               folder.path());
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_NE(result.err.find(c.errorPart), std::string::npos) << result.err;
    if (broken) {
        EXPECT_NE(result.out.find("failed broken.png: "), std::string::npos) << result.out;
    }
    std::size_t created = 0;
    for (std::size_t at = result.out.find("created "); at != std::string::npos;
         at = result.out.find("created ", at + 1))
        ++created;
    EXPECT_EQ(created, *c.suffix != '\0' ? std::size(kSetPictures) : 0u) << result.out;

    if (*c.suffix == '\0') {
        // Refused: nothing but the pictures in their folder.
        const auto files = std::distance(fs::directory_iterator(set), {});
        EXPECT_EQ(static_cast<std::size_t>(files), std::size(kSetPictures));
        return;
    }
    for (const auto& [name, source] : kSetPictures) {
        const fs::path made =
            set / (fs::path(name).stem().wstring() + fs::path(c.suffix).wstring() + L".bmp");
        const std::string bytes = ReadBytes(made);
        EXPECT_FALSE(bytes.empty()) << Ansi(made) << " was not made";
        EXPECT_TRUE(bytes == SingleRun(script, source, c.suffix))
            << Ansi(made) << " differs from a single run of " << source;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, CliEach,
    ::testing::Values(
        EachCase{"FixedIntermediateNameAtTwoJobs",
                 "convert $NAME1.$EXT1 -scale 10% tmp_small.png\r\n"
                 "convert tmp_small.png -flip $NAME1_out.bmp\r\n",
                 1, L"--jobs 2 ", 0, "_out", ""},
        EachCase{"WatermarkWithOneLogo",
                 "composite -gravity center $NAME2.$EXT2 $NAME1.$EXT1 $NAME1_marked.bmp\r\n", 2,
                 L"", 0, "_marked", ""},
        EachCase{"CorruptPictureAmongGoodOnes",
                 "convert $NAME1.$EXT1 -scale 10% $NAME1_small.bmp\r\n", 1, L"", 2, "_small",
                 "Quillon batch log.txt"},
        EachCase{"FixedOutputNameIsRefused", "convert $NAME1.$EXT1 -scale 10% small.bmp\r\n", 1,
                 L"", 3, "", "small.bmp, so no picture was run"},
        EachCase{"FolderInAnotherScript", "convert $NAME1.$EXT1 -scale 10% $NAME1_small.bmp\r\n", 1,
                 L"--jobs 2 ", 0, "_small", "", L"写真 & co"},
        EachCase{"SettingsGiven",
                 "<param name=\"PCT\" label=\"p\" type=\"number\" min=\"1\" max=\"50\" "
                 "default=\"10\"/>\r\nconvert $NAME1.$EXT1 -scale $PCT% $NAME1_$PCT.bmp\r\n",
                 1, L"", 0, "_20", "", L"pictures", L"--set PCT=20 "}),
    [](const ::testing::TestParamInfo<EachCase>& param) { return std::string(param.param.name); });

// A folder of every kind of picture: each picture's run gets the size ImageMagick reads
// where GDI+ reads none, and the size GDI+ reads where it does.
TEST_F(CliScriptRun, EachTakesPicturesOfEveryTypeWithTheirTrueSizes) {
    const fs::path set = folder.path() / L"mixed";
    fs::create_directory(set);
    const std::pair<const char*, const wchar_t*> kinds[] = {
        {"two.webp", L"webp_640x200.bmp"}, {"two.heic", L"heic_640x200.bmp"},
        {"two.avif", L"avif_640x200.bmp"}, {"two.psd", L"psd_640x200.bmp"},
        {"two.tga", L"tga_640x200.bmp"},   {"two.ppm", L"ppm_640x200.bmp"},
        {"small.gif", L"gif_100x50.bmp"}};
    for (const auto& [source, made] : kinds) {
        const fs::path from = TestPicture(source);
        fs::copy_file(from,
                      set / (from.extension().wstring().substr(1) + from.extension().wstring()));
    }
    const fs::path script = Script(
        "sizes.xml", "convert -size $WIDTH1x$HEIGHT1 xc:gray $NAME1_$WIDTH1x$HEIGHT1.bmp\r\n");
    const CliResult result = RunCli(L"each " + Quoted(script) + L" " + Quoted(set), folder.path());
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    for (const auto& [source, made] : kinds)
        EXPECT_TRUE(fs::exists(set / made)) << source << "\n" << result.out << result.err;
}

// ---- Runners side by side on one folder ---------------------------------------------------

// How long the two windows and quillon-cli keep running scripts side by side.
constexpr auto kSideBySide = std::chrono::seconds(60);

// Each run of the script makes a picture named after its own and prints that name, so that
// a run handed another's batch, output or printed text shows.
TEST(SideBySide, TwoWindowsAndTheCliOnOneFolderEachGetOnlyTheirOwnRuns) {
    TempFolder root;
    const fs::path folder = root.path() / L"program";
    const fs::path temp = root.path() / L"temp";
    fs::create_directory(folder);
    fs::create_directory(temp);
    struct Runner {
        const char* source;
        const wchar_t* name;  // in the program folder
        PixelSize half;
    };
    const Runner runners[] = {{"tall.png", L"first.png", {300, 450}},
                              {"small.gif", L"second.gif", {50, 25}},
                              {"banner.bmp", L"cli.bmp", {128, 12}}};
    for (const Runner& runner : runners)
        fs::copy_file(TestPicture(runner.source), folder / runner.name);
    const std::string script =
        "<script args=\"1\" name=\"Marked\">\r\nconvert $NAME.$EXT -resize 50% out_$NAME.png\r\n"
        "echo printed for $NAME out_$NAME.png\r\n</script>\r\n";
    // The runners' own TEMP, inherited by every program started below, so that a runner file
    // left there shows.
    wchar_t oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    RunningQuillon windows[2] = {{folder, script}, {folder, script}};
    StartPictureEngine();

    std::mutex decoding;    // GDI+ decodes one picture at a time here
    std::string faults[3];  // the first run that went wrong, for each runner
    int runs[3] = {};
    const auto until = std::chrono::steady_clock::now() + kSideBySide;
    auto runRepeatedly = [&](int i, const std::function<std::string()>& runOnce) {
        const std::string stem = Ansi(fs::path(runners[i].name).stem());
        const fs::path out = folder / ("out_" + stem + ".png");
        const std::string printed = "printed for " + stem + " out_" + stem + ".png";
        const std::string warning = Ansi(out) + " is created but threw a warning";
        const std::string expected = i < 2
                                         ? warning + ":\r\n\r\n" + printed
                                         : "1 " + printed + "\r\nquillon-cli: " + warning + "\r\n";
        int refused = 0;
        while (faults[i].empty() && std::chrono::steady_clock::now() < until) {
            if (std::error_code held; !fs::remove(out, held) && held) {
                faults[i] = "the last output stayed: " + held.message();
                break;
            }
            const std::string told = runOnce();
            // Wine's cmd says this also when it found convert but Wine refused to start it,
            // which happens now and then with many programs starting at once; the run is
            // then its own, only not counted. More than twice is a fault.
            if (told.find("Can't recognize 'convert " + stem) != std::string::npos &&
                ++refused <= 2) {
                std::printf("note: Wine did not start convert for %s; not counted\n", stem.c_str());
                continue;
            }
            ++runs[i];
            const std::lock_guard<std::mutex> lock(decoding);
            const PictureOwner made = LoadPictureFile(Ansi(out));
            if (told != expected || !made || !(PictureSize(made.get()) == runners[i].half))
                faults[i] = "run " + std::to_string(runs[i]) + " told \"" + told + "\"" +
                            (made ? "" : ", made nothing");
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i) {
        RunningQuillon& quillon = windows[i];
        quillon.ChooseFirstScript();
        if (!quillon.FillSlot(1, folder / runners[i].name))
            faults[i] = "the picture did not reach slot 1";
        threads.emplace_back(runRepeatedly, i, [&quillon] {
            quillon.Execute();
            return quillon.AnswerMessage();
        });
    }
    threads.emplace_back(runRepeatedly, 2, [&] {
        const CliResult result =
            RunCli(L"run " + Quoted(folder / L"script.xml") + L" " + Quoted(folder / L"cli.bmp"),
                   root.path());
        return std::to_string(result.exitCode) + " " + result.out + result.err;
    });
    for (std::thread& thread : threads)
        thread.join();
    ::SetEnvironmentVariableW(L"TEMP", oldTemp);

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(faults[i], "") << Ansi(runners[i].name);
        EXPECT_GE(runs[i], 2) << Ansi(runners[i].name);
    }
    std::printf("runs side by side: %d, %d and %d\n", runs[0], runs[1], runs[2]);
    for (RunningQuillon& quillon : windows)
        EXPECT_EQ(quillon.Close(), 0);
    for (const fs::path& left :
         {folder / L"script.bat", folder / L"dump.txt", temp / L"temp.bat", temp / L"dump.txt"})
        EXPECT_FALSE(fs::exists(left)) << Ansi(left);
}

}  // namespace
}  // namespace quillon

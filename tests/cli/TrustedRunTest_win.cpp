// quillon-cli run and each under Wine, with the real command interpreter and ImageMagick:
// whatever a script writes over, fails at or is kept from, every file the user had stays
// byte for byte as it was, and only the files the run is meant to make appear.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/Handles_win.h"
#include "support/MainWindowHarness_win.h"
#include "support/Printing.h"
#include "support/RunCli_win.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::operator<<;
using testing::Quoted;
using testing::ReadBytes;

constexpr wchar_t kLog[] = L"set\\Quillon batch log.txt";
constexpr char kScale[] = "convert $NAME1.$EXT1 -scale 10% $NAME1_s.ppm";
// A script that the test acts beside waits for go.txt beside the user's folder. A script's
// percent signs are its own, never a variable: the way there is relative, three folders up
// from a set's work folder (user\set\~quillon-...) or from a single run's (user\set\x).
constexpr char kHold[] = ":hold\r\nif not exist ..\\..\\..\\go.txt goto hold\r\n";

// A file of the user's: a copy of a test picture (its first cut bytes when cut is not 0), or
// without a picture a few bytes of text.
struct UserFile {
    const wchar_t* path;
    const char* picture = nullptr;
    std::size_t cut = 0;
};

struct TrustCase {
    const char* name;
    std::vector<UserFile> files;  // in the user's folder
    const char* body;             // of the script "s.xml" in the user's folder
    int args;
    const wchar_t* command;  // "@x" stands for x in the user's folder, quoted
    long exitCode;
    const char* says;                     // in what quillon-cli printed
    std::vector<std::wstring> made = {};  // new files, not empty; every other file unchanged
    std::vector<std::wstring> gone = {};  // files and folders the run removes
    bool madeAlike = false;               // one content in, so one content out
    const wchar_t* held = nullptr;        // held open without write or delete sharing meanwhile
    // Acts while quillon-cli runs (the script waits for it), then writes go.txt.
    void (*during)(const fs::path& root, DWORD cli) = nullptr;
};

// Every file and folder under root by its relative path, with its bytes ("/" for a folder).
std::map<std::wstring, std::string> Contents(const fs::path& root) {
    std::map<std::wstring, std::string> all;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        all[fs::relative(entry.path(), root).wstring()] =
            entry.is_directory() ? "/" : ReadBytes(entry.path());
    return all;
}

std::wstring Command(const std::wstring& pattern, const fs::path& user) {
    std::wistringstream words(pattern);
    std::wstring line, word;
    while (words >> word)
        line +=
            (line.empty() ? L"" : L" ") + (word[0] == L'@' ? Quoted(user / word.substr(1)) : word);
    return line;
}

// The command line of a running process, as its own block of parameters holds it.
std::wstring CommandLineOf(DWORD id) {
    using Query = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<std::uintptr_t>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    const UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!query || !process ||
        query(process.get(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        !::ReadProcessMemory(process.get(), basic.PebBaseAddress, &peb, sizeof(peb), nullptr) ||
        !::ReadProcessMemory(process.get(), peb.ProcessParameters, &parameters, sizeof(parameters),
                             nullptr))
        return L"";
    std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    ::ReadProcessMemory(process.get(), parameters.CommandLine.Buffer, line.data(),
                        parameters.CommandLine.Length, nullptr);
    return line;
}

// The command line of the interpreter quillon-cli started, once there is one.
std::wstring InterpreterLine(DWORD cli) {
    std::wstring line;
    testing::WaitUntil([&] {
        const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more && line.empty();
             more = ::Process32NextW(snapshot.get(), &entry)) {
            if (entry.th32ParentProcessID == cli)
                line = CommandLineOf(entry.th32ProcessID);
        }
        return !line.empty();
    });
    return line;
}

// Wine's interpreter runs no AutoRun command anyway: its command line shows the /d that
// keeps the user's out.
void StartedWithoutAutoRun(const fs::path& root, DWORD cli) {
    const std::wstring line = InterpreterLine(cli);
    EXPECT_NE(line.find(L"cmd.exe\" /d /c "), std::wstring::npos) << testing::Ansi(line);
    std::ofstream(root / L"go.txt") << "go";
}

// While a set waits in its scripts, a single run on another folder must end before it.
void SingleRunMeanwhile(const fs::path& root, DWORD cli) {
    EXPECT_NE(InterpreterLine(cli), L"") << "the set never started a script";
    fs::create_directory(root / L"other");
    fs::copy_file(testing::TestPicture("tall.png"), root / L"other" / L"tall.png");
    const fs::path script = root / L"one.xml";
    std::ofstream(script, std::ios::binary) << "<script args=\"1\" name=\"One\">\r\n"
                                            << kScale << "\r\n</script>\r\n";
    const testing::CliResult single = testing::RunCli(
        L"run " + Quoted(script) + L" " + Quoted(root / L"other" / L"tall.png"), root / L"other");
    EXPECT_EQ(single.exitCode, 0) << single.out << single.err;
    const UniqueHandle each(::OpenProcess(SYNCHRONIZE, FALSE, cli));
    EXPECT_EQ(::WaitForSingleObject(each.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the set ended first";
    std::ofstream(root / L"go.txt") << "go";
}

class TrustedRun : public ::testing::TestWithParam<TrustCase> {};

TEST_P(TrustedRun, LeavesEveryUserFileAsItWasAndMakesOnlyItsOwn) {
    const TrustCase& c = GetParam();
    testing::TempFolder root;
    const fs::path user = root.path() / L"user";
    for (const UserFile& file : c.files) {
        fs::create_directories((user / file.path).parent_path());
        const std::string bytes =
            file.picture ? ReadBytes(testing::TestPicture(file.picture)) : "old, the user's";
        std::ofstream(user / file.path, std::ios::binary)
            << (file.cut ? bytes.substr(0, file.cut) : bytes);
    }
    root.Write("user/s.xml", "<script args=\"" + std::to_string(c.args) +
                                 "\" name=\"Trusted\">\r\n" + (c.during ? kHold : "") + c.body +
                                 "\r\n</script>\r\n");
    const std::map<std::wstring, std::string> before = Contents(user);
    UniqueHandle held;
    if (c.held)
        held.Reset(::CreateFileW((user / c.held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    const testing::CliResult result =
        testing::RunCli(Command(c.command, user), root.path(), [&](DWORD cli) {
            if (c.during)
                c.during(root.path(), cli);
        });
    held.Reset();
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_NE((result.out + result.err).find(c.says), std::string::npos)
        << result.out << result.err;

    std::map<std::wstring, std::string> after = Contents(user);
    std::map<std::wstring, std::string> expected = before;
    for (const std::wstring& gone : c.gone)
        expected.erase(gone);
    for (const std::wstring& made : c.made) {
        EXPECT_NE(after[made], "") << testing::Ansi(made) << " was not made";
        expected[made] = after[made];
    }
    for (const auto& [path, bytes] : after)
        EXPECT_TRUE(expected.count(path) && expected[path] == bytes)
            << testing::Ansi(path) << (expected.count(path) ? " changed" : " was left");
    for (const auto& [path, bytes] : expected)
        EXPECT_TRUE(after.count(path)) << testing::Ansi(path) << " is gone";
    for (const std::wstring& made : c.made)
        EXPECT_TRUE(!c.madeAlike || after[made] == after[c.made.front()]) << testing::Ansi(made);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrustedRun,
    ::testing::Values(
        TrustCase{"ALogoShrunkInPlaceIsTheJobsOwnCopy",
                  {{L"set\\a.png", "tall.png"},
                   {L"set\\b.png", "tall.png"},
                   {L"set\\c.png", "tall.png"},
                   {L"logo.gif", "small.gif"}},
                  "convert $NAME2.$EXT2 -resize 50% $NAME2.$EXT2\r\n"
                  "composite -gravity center $NAME2.$EXT2 $NAME1.$EXT1 $NAME1_m.bmp",
                  2,
                  L"each --jobs 2 @s.xml @set @logo.gif",
                  0,
                  "created c.png",
                  {L"set\\a_m.bmp", L"set\\b_m.bmp", L"set\\c_m.bmp"},
                  {},
                  true},
        TrustCase{"AFailedRunIsNotMadeByAnOlderOutput",
                  {{L"p.png", "tall.png"}, {L"p_s.bmp"}},
                  "convert $NAME1.$EXT1 -frobnicate 3 $NAME1_s.bmp",
                  1,
                  L"run @s.xml @p.png",
                  2,
                  "-frobnicate",
                  {}},
        TrustCase{"AQuietRunThatMakesNothingFailsBesideAnOlderOutput",
                  {{L"p.png", "tall.png"}, {L"p_s.bmp"}},
                  "rem $NAME1.$EXT1 $NAME1_s.bmp",
                  1,
                  L"run @s.xml @p.png",
                  2,
                  "printed nothing",
                  {}},
        TrustCase{"AFailedPictureOfASetIsNotMadeByAnOlderOutput",
                  {{L"set\\p.png", "tall.png"}, {L"set\\p_s.ppm"}},
                  "convert $NAME1.$EXT1 -frobnicate 3 $NAME1_s.ppm",
                  1,
                  L"each @s.xml @set",
                  2,
                  "failed p.png",
                  {kLog}},
        TrustCase{"ACutJpegFailsAndLeavesNoEmptyFile",
                  {{L"set\\good.jpg", "photo.jpg"}, {L"set\\cut.jpg", "photo.jpg", 200}},
                  "convert $NAME1.$EXT1 -scale 10% $NAME1_s.bmp",
                  1,
                  L"each @s.xml @set",
                  2,
                  "failed cut.jpg",
                  {L"set\\good_s.bmp", kLog}},
        TrustCase{"AWorkFolderOfAnEndedProcessIsRemoved",
                  {{L"set\\a.png", "tall.png"}, {L"set\\~quillon-99999-0.tmp\\a.png", "tall.png"}},
                  kScale,
                  1,
                  L"each @s.xml @set",
                  0,
                  "created a.png",
                  {L"set\\a_s.ppm"},
                  {L"set\\~quillon-99999-0.tmp", L"set\\~quillon-99999-0.tmp\\a.png"}},
        TrustCase{"ASingleRunDoesNotWaitForASet",
                  {{L"set\\a.png", "tall.png"}, {L"set\\b.png", "tall.png"}},
                  kScale,
                  1,
                  L"each --jobs 1 @s.xml @set",
                  0,
                  "created b.png",
                  {L"set\\a_s.ppm", L"set\\b_s.ppm"},
                  {},
                  true,
                  nullptr,
                  SingleRunMeanwhile},
        TrustCase{"ASingleRunsInterpreterSkipsAutoRun",
                  {{L"set\\x\\p.png", "tall.png"}},
                  kScale,
                  1,
                  L"run @s.xml @set\\x\\p.png",
                  0,
                  "",
                  {L"set\\x\\p_s.ppm"},
                  {},
                  false,
                  nullptr,
                  StartedWithoutAutoRun},
        TrustCase{"ASetsInterpreterSkipsAutoRun",
                  {{L"set\\p.png", "tall.png"}},
                  kScale,
                  1,
                  L"each @s.xml @set",
                  0,
                  "created p.png",
                  {L"set\\p_s.ppm"},
                  {},
                  false,
                  nullptr,
                  StartedWithoutAutoRun},
        TrustCase{"AnOutputHeldOpenIsKeptAsideAndTheOldOneUntouched",
                  {{L"set\\p.png", "tall.png"}, {L"set\\p_s.ppm"}},
                  kScale,
                  1,
                  L"each @s.xml @set",
                  2,
                  "kept as",
                  {L"set\\p_s (Quillon 2).ppm", kLog},
                  {},
                  false,
                  L"set\\p_s.ppm"}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

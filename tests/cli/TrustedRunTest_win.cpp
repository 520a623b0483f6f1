// quillon-cli run and each under Wine, with the real command interpreter and ImageMagick:
// whatever a script writes over, fails at or is kept from, every file the user had stays
// byte for byte as it was, and only the files the run is meant to make appear.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
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
using testing::Ansi;
using testing::operator<<;
using testing::Quoted;
using testing::ReadBytes;

constexpr char kScale[] = "convert $NAME1.$EXT1 -scale 10% $NAME1_s.ppm";
// A script that the test acts beside waits for go.txt beside the user's folder. A script's
// percent signs are its own, never a variable: the way there is relative, three folders up
// from a set's work folder (user\set\~quillon-...) or from a single run's (user\set\x).
constexpr char kHold[] = ":hold\r\nif not exist ..\\..\\..\\go.txt goto hold\r\n";

struct TrustCase {
    const char* name;
    // The user's files, "|" between them: "path=picture" a copy of a test picture ("/N" after
    // it: its first N bytes), "path=@a;b" a list of the lines a and b in UTF-16 with its
    // byte-order mark, a bare path a few bytes of text.
    const wchar_t* files;
    const char* body;        // of the script "s.xml" beside them; "$NAME2" makes it take two
    const wchar_t* command;  // "@x" stands for x in the user's folder, quoted, "+" for a blank
    long exitCode;
    const char* says;               // in what quillon-cli printed
    const wchar_t* made;            // "|" between the new files; every other file stays as it was
    const wchar_t* gone = L"";      // files and folders the run removes
    bool madeAlike = false;         // one content in, so one content out
    const wchar_t* held = nullptr;  // held open without write or delete sharing meanwhile
    // Acts while quillon-cli runs (the script waits for it), then writes go.txt.
    void (*during)(const fs::path& root, DWORD cli) = nullptr;
    bool eraseTemp = false;
};

std::vector<std::wstring> Split(std::wstring text, wchar_t at) {
    std::vector<std::wstring> parts;
    for (std::size_t end; !text.empty(); text.erase(0, end == std::wstring::npos ? end : end + 1))
        parts.push_back(text.substr(0, end = text.find(at)));
    return parts;
}

// Every file and folder under root by its relative path, with its bytes ("/" for a folder).
std::map<std::wstring, std::string> Contents(const fs::path& root) {
    std::map<std::wstring, std::string> all;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        all[fs::relative(entry.path(), root).wstring()] =
            entry.is_directory() ? "/" : ReadBytes(entry.path());
    return all;
}

// The command line quillon-cli's first child process was started with, once there is one.
std::wstring InterpreterLine(DWORD cli) {
    using Query = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<std::uintptr_t>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    std::wstring line;
    testing::WaitUntil([&] {
        const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more && line.empty();
             more = ::Process32NextW(snapshot.get(), &entry)) {
            const UniqueHandle child(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                                   FALSE, entry.th32ProcessID));
            PROCESS_BASIC_INFORMATION basic{};
            PEB peb{};
            RTL_USER_PROCESS_PARAMETERS parameters{};
            if (entry.th32ParentProcessID != cli || !child ||
                query(child.get(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) ||
                !::ReadProcessMemory(child.get(), basic.PebBaseAddress, &peb, sizeof(peb),
                                     nullptr) ||
                !::ReadProcessMemory(child.get(), peb.ProcessParameters, &parameters,
                                     sizeof(parameters), nullptr))
                continue;
            // A process that has only just been made may not hold its line yet: it reads
            // as NULs until it does.
            std::wstring read(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
            if (::ReadProcessMemory(child.get(), parameters.CommandLine.Buffer, read.data(),
                                    parameters.CommandLine.Length, nullptr) &&
                read.find(L'\0') == std::wstring::npos)
                line = read;
        }
        return !line.empty();
    });
    return line;
}

// Wine's interpreter runs no AutoRun command anyway: its command line shows the /d that
// keeps the user's out.
void StartedWithoutAutoRun(const fs::path& root, DWORD cli) {
    const std::wstring line = InterpreterLine(cli);
    EXPECT_NE(line.find(L"cmd.exe\" /d /c "), std::wstring::npos) << Ansi(line);
    std::ofstream(root / L"go.txt") << "go";
}

// While a set waits in its scripts, a single run on another folder must end before it.
void SingleRunMeanwhile(const fs::path& root, DWORD cli) {
    EXPECT_NE(InterpreterLine(cli), L"") << "the set never started a script";
    fs::create_directory(root / L"other");
    fs::copy_file(testing::TestPicture("tall.png"), root / L"other" / L"tall.png");
    std::ofstream(root / L"one.xml", std::ios::binary) << "<script args=\"1\" name=\"1\">\r\n"
                                                       << kScale << "\r\n</script>\r\n";
    const testing::CliResult single = testing::RunCli(
        L"run " + Quoted(root / L"one.xml") + L" " + Quoted(root / L"other" / L"tall.png"),
        root / L"other");
    EXPECT_EQ(single.exitCode, 0) << single.out << single.err;
    const UniqueHandle each(::OpenProcess(SYNCHRONIZE, FALSE, cli));
    EXPECT_EQ(::WaitForSingleObject(each.get(), 0), DWORD{WAIT_TIMEOUT}) << "the set ended first";
    std::ofstream(root / L"go.txt") << "go";
}

class TrustedRun : public ::testing::TestWithParam<TrustCase> {};

TEST_P(TrustedRun, LeavesEveryUserFileAsItWasAndMakesOnlyItsOwn) {
    const TrustCase& c = GetParam();
    testing::TempFolder root;
    const fs::path user = root.path() / L"user";
    for (const std::wstring& file : Split(c.files, L'|')) {
        const std::vector<std::wstring> parts = Split(file, L'=');
        const std::vector<std::wstring> source = Split(parts.size() > 1 ? parts[1] : L"", L'/');
        std::string bytes = source.empty() ? "old, the user's" : "";
        if (!source.empty() && source[0][0] == L'@') {
            std::wstring list = L"\uFEFF" + source[0].substr(1);
            for (std::size_t at; (at = list.find(L';')) != std::wstring::npos;)
                list.replace(at, 1, L"\r\n");
            bytes.assign(reinterpret_cast<const char*>(list.data()), list.size() * 2);
        } else if (!source.empty()) {
            bytes = ReadBytes(testing::TestPicture(Ansi(source[0]).c_str()));
        }
        fs::create_directories((user / parts[0]).parent_path());
        std::ofstream(user / parts[0], std::ios::binary)
            << bytes.substr(0, source.size() > 1 ? std::stoul(source[1]) : bytes.size());
    }
    const bool two = std::string(c.body).find("$NAME2") != std::string::npos;
    root.Write("user/s.xml", std::string("<script args=\"") + (two ? "2" : "1") +
                                 "\" name=\"Trusted\" erase_temp=\"" +
                                 (c.eraseTemp ? "true" : "false") + "\">\r\n" +
                                 (c.during ? kHold : "") + c.body + "\r\n</script>\r\n");
    std::wstring command;
    for (std::wstring word : Split(c.command, L' ')) {
        std::replace(word.begin(), word.end(), L'+', L' ');
        const bool list = word.rfind(L"@@", 0) == 0;  // @LIST
        command += (list ? L"@" : L"") +
                   (word[0] == L'@' ? Quoted(user / word.substr(list ? 2 : 1)) : word) + L" ";
    }
    const std::map<std::wstring, std::string> before = Contents(user);
    UniqueHandle held(c.held ? ::CreateFileW((user / c.held).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr)
                             : nullptr);
    const testing::CliResult result = testing::RunCli(command, root.path(), [&](DWORD cli) {
        if (c.during)
            c.during(root.path(), cli);
    });
    held.Reset();
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_NE((result.out + result.err).find(c.says), std::string::npos)
        << result.out << result.err;

    std::map<std::wstring, std::string> after = Contents(user);
    std::map<std::wstring, std::string> expected = before;
    for (const std::wstring& gone : Split(c.gone, L'|'))
        expected.erase(gone);
    const std::vector<std::wstring> made = Split(c.made, L'|');
    for (const std::wstring& name : made) {
        EXPECT_NE(after[name], "") << Ansi(name) << " was not made";
        EXPECT_TRUE(!c.madeAlike || after[name] == after[made.front()]) << Ansi(name);
        expected[name] = after[name];
    }
    // Every folder run leaves the log of the run, which is its own file.
    for (const auto& [path, bytes] : after) {
        if (fs::path(path).filename() == L"Quillon batch log.txt")
            expected[path] = bytes;
    }
    for (const auto& [path, bytes] : after)
        EXPECT_EQ(expected.count(path) ? expected[path] : "(none)", bytes) << Ansi(path);
    for (const auto& [path, bytes] : expected)
        EXPECT_TRUE(after.count(path)) << Ansi(path) << " is gone";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrustedRun,
    ::testing::Values(
        TrustCase{"ALogoShrunkInPlaceIsTheJobsOwnCopy",
                  L"set\\a.png=tall.png|set\\b.png=tall.png|set\\c.png=tall.png|logo.gif=small.gif",
                  "convert $NAME2.$EXT2 -resize 50% $NAME2.$EXT2\r\n"
                  "composite -gravity center $NAME2.$EXT2 $NAME1.$EXT1 $NAME1_m.bmp",
                  L"each --jobs 2 @s.xml @set @logo.gif", 0, "created c.png",
                  L"set\\a_m.bmp|set\\b_m.bmp|set\\c_m.bmp", L"", true},
        TrustCase{"AFailedRunIsNotMadeByAnOlderOutput", L"p.png=tall.png|p_s.bmp",
                  "convert $NAME1.$EXT1 -frobnicate 3 $NAME1_s.bmp", L"run @s.xml @p.png", 2,
                  "-frobnicate", L""},
        TrustCase{"AQuietRunThatMakesNothingFailsBesideAnOlderOutput", L"p.png=tall.png|p_s.bmp",
                  "rem $NAME1.$EXT1 $NAME1_s.bmp", L"run @s.xml @p.png", 2, "printed nothing", L""},
        TrustCase{"AFailedPictureOfASetIsNotMadeByAnOlderOutput",
                  L"set\\p.png=tall.png|set\\p_s.ppm",
                  "convert $NAME1.$EXT1 -frobnicate 3 $NAME1_s.ppm", L"each @s.xml @set", 2,
                  "failed p.png", L"set\\Quillon batch log.txt"},
        TrustCase{"ACutJpegFailsAndLeavesNoEmptyFile",
                  L"set\\good.jpg=photo.jpg|set\\cut.jpg=photo.jpg/200",
                  "convert $NAME1.$EXT1 -scale 10% $NAME1_s.bmp", L"each @s.xml @set", 2,
                  "failed cut.jpg", L"set\\good_s.bmp|set\\Quillon batch log.txt"},
        TrustCase{"AWorkFolderOfAnEndedProcessIsRemoved",
                  L"set\\a.png=tall.png|set\\~quillon-99999-0.tmp\\a.png=tall.png", kScale,
                  L"each @s.xml @set", 0, "created a.png", L"set\\a_s.ppm",
                  L"set\\~quillon-99999-0.tmp|set\\~quillon-99999-0.tmp\\a.png"},
        TrustCase{"ASingleRunDoesNotWaitForASet", L"set\\a.png=tall.png|set\\b.png=tall.png",
                  kScale, L"each --jobs 1 @s.xml @set", 0, "created b.png",
                  L"set\\a_s.ppm|set\\b_s.ppm", L"", true, nullptr, SingleRunMeanwhile},
        TrustCase{"ASingleRunsInterpreterSkipsAutoRun", L"set\\x\\p.png=tall.png", kScale,
                  L"run @s.xml @set\\x\\p.png", 0, "", L"set\\x\\p_s.ppm", L"", false, nullptr,
                  StartedWithoutAutoRun},
        TrustCase{"ASetsInterpreterSkipsAutoRun", L"set\\p.png=tall.png", kScale,
                  L"each @s.xml @set", 0, "created p.png", L"set\\p_s.ppm", L"", false, nullptr,
                  StartedWithoutAutoRun},
        TrustCase{"AnOutputHeldOpenIsKeptAsideAndTheOldOneUntouched",
                  L"set\\p.png=tall.png|set\\p_s.ppm", kScale, L"each @s.xml @set", 2, "kept as",
                  L"set\\p_s (Quillon 2).ppm|set\\Quillon batch log.txt", L"", false,
                  L"set\\p_s.ppm"},
        // Again over a folder that holds the outputs of a run before: they are left out, and
        // a current one is kept or made anew as asked.
        TrustCase{"SkipRunsOnlyThePicturesWithoutACurrentOutput",
                  L"set\\p1.png=tall.png|set\\p2.png=tall.png|set\\p1_s.ppm=tall.png", kScale,
                  L"each --existing skip @s.xml @set", 0, "skipped p1.png", L"set\\p2_s.ppm"},
        TrustCase{"ReplaceMakesThemAnewLeavingOutItsOwnOutputs",
                  L"set\\p1.png=tall.png|set\\p2.png=tall.png|set\\p1_s.ppm=tall.png", kScale,
                  L"each @s.xml @set", 0, "left out 1 picture", L"set\\p1_s.ppm|set\\p2_s.ppm", L"",
                  true},
        // Subfolders keep their outputs beside their pictures, or the tree under --out.
        TrustCase{"SubfoldersBesideThePictures",
                  L"set\\a.png=tall.png|set\\sub\\b.png=tall.png|set\\sub\\deep\\c.png=tall.png",
                  kScale, L"each --recurse @s.xml @set", 0, "created c.png",
                  L"set\\a_s.ppm|set\\sub\\b_s.ppm|set\\sub\\deep\\c_s.ppm", L"", true},
        TrustCase{"SubfoldersUnderTheOutputFolder",
                  L"set\\a.png=tall.png|set\\sub\\b.png=tall.png|out\\note", kScale,
                  L"each --recurse --keep-dates --out @out @s.xml @set", 0, "created b.png",
                  L"out\\a_s.ppm|out\\sub|out\\sub\\b_s.ppm"},
        TrustCase{"AListInUtf16IsReadAgainstItsFolder",
                  L"set\\a.png=tall.png|set\\sub\\b.png=tall.png|set\\c.png=tall.png|"
                  L"set\\list.txt=@# the set;a.png;;sub\\b.png",
                  kScale, L"each @s.xml @@set\\list.txt", 0, "created b.png",
                  L"set\\a_s.ppm|set\\sub\\b_s.ppm", L"", true},
        // The pieces of a name with a blank are never words of their own: no del line can
        // reach the user's files named like them, nor a quote swallow the rest of a line.
        TrustCase{"ErasedIntermediatesOfANameWithABlankAreWholeWords",
                  L"b c.png=tall.png|c_flip.png|c_a.png|b|c|c.png",
                  "convert $NAME1.$EXT1 -scale 10% tmp_step.png\r\n"
                  "convert tmp_step.png $NAME1_a.png\r\n"
                  "convert $NAME1_a.png -flip $NAME1_flip.png",
                  L"run @s.xml @b+c.png", 0, "", L"b c_flip.png", L"", false, nullptr, nullptr,
                  true}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

// The texts of the command runner: its work folder, its batch file and its trimmed output.
#include "execution/CommandRunner.h"

#include <gtest/gtest.h>

#include <string>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

struct FolderCase {
    const char* name;
    std::string given;
    std::string temp;
    std::string expected;
};

class RunnerWorkFolderRule : public ::testing::TestWithParam<FolderCase> {};

TEST_P(RunnerWorkFolderRule, EndsInExactlyOneBackslash) {
    EXPECT_EQ(RunnerWorkFolder(GetParam().given, GetParam().temp), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, RunnerWorkFolderRule,
    ::testing::Values(
        FolderCase{"GivenWithoutBackslash", "C:\\Work", "C:\\Temp", "C:\\Work\\"},
        FolderCase{"GivenWithOneBackslash", "C:\\Work\\", "C:\\Temp", "C:\\Work\\"},
        FolderCase{"GivenWithSeveralBackslashes", "C:\\Work\\\\\\", "C:\\Temp", "C:\\Work\\"},
        FolderCase{"GivenWithBlanks", "C:\\My Work\\", "C:\\Temp", "C:\\My Work\\"},
        FolderCase{"InnerDoubleBackslashKept", "C:\\a\\\\b", "", "C:\\a\\\\b\\"},
        FolderCase{"EmptyUsesTemp", "", "C:\\Users\\me\\Temp", "C:\\Users\\me\\Temp\\"},
        FolderCase{"EmptyUsesTempWithItsBackslashes", "", "C:\\Temp\\\\", "C:\\Temp\\"},
        FolderCase{"EmptyWithoutTempIsTheRoot", "", "", "\\"},
        FolderCase{"OnlyBackslashesGiven", "\\\\\\", "C:\\Temp", "\\"},
        FolderCase{"DriveRoot", "D:\\", "C:\\Temp", "D:\\"},
        FolderCase{"BareDrive", "D:", "C:\\Temp", "D:\\"}),
    testing::CaseName());

TEST(RunnerBatchText, HasFourLinesEachEndedByCrLf) {
    EXPECT_EQ(RunnerBatchText("C:\\Work\\", "\"C:\\My Pictures\\script.bat\""),
              "@echo off\r\n"
              "C:\r\n"
              "cd \"C:\\Work\\\"\r\n"
              "\"C:\\My Pictures\\script.bat\" > dump.txt 2>&1\r\n");
}

TEST(RunnerBatchText, QuotesAWorkFolderWithoutBlanksToo) {
    const std::string text = RunnerBatchText("D:\\Temp\\", "x");
    EXPECT_NE(text.find("\r\ncd \"D:\\Temp\\\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nD:\r\n"), std::string::npos);
}

TEST(RunnerBatchText, WorkFolderWithBlanksIsQuotedWhole) {
    const std::string text = RunnerBatchText("C:\\My Work\\", "x");
    EXPECT_NE(text.find("\r\ncd \"C:\\My Work\\\"\r\n"), std::string::npos);
}

TEST(RunnerBatchText, CommandLineIsWrittenUnchanged) {
    const std::string command = "convert a.png -resize 50% \"b c.png\" & echo ^done";
    EXPECT_NE(RunnerBatchText("C:\\W\\", command).find(command + " > dump.txt 2>&1\r\n"),
              std::string::npos);
}

TEST(RunnerBatchText, RootWithoutDriveGivesTheBackslashAloneAsSecondLine) {
    EXPECT_EQ(RunnerBatchText("\\", "x"),
              "@echo off\r\n"
              "\\\r\n"
              "cd \"\\\"\r\n"
              "x > dump.txt 2>&1\r\n");
}

TEST(RunnerBatchText, EmptyCommandStillRedirects) {
    EXPECT_EQ(RunnerBatchText("C:\\W\\", ""),
              "@echo off\r\n"
              "C:\r\n"
              "cd \"C:\\W\\\"\r\n"
              " > dump.txt 2>&1\r\n");
}

struct TrimCase {
    const char* name;
    std::string output;
    std::string expected;
};

class TrimTrailingLineEndsRule : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimTrailingLineEndsRule, RemovesOnlyTrailingCrAndLf) {
    EXPECT_EQ(TrimTrailingLineEnds(GetParam().output), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, TrimTrailingLineEndsRule,
    ::testing::Values(TrimCase{"Nothing", "", ""}, TrimCase{"OnlyLineEnds", "\r\n\r\n\n\r", ""},
                      TrimCase{"OneLine", "error\r\n", "error"},
                      TrimCase{"EmptyLinesAtEnd", "a\r\nb\r\n\r\n\r\n", "a\r\nb"},
                      TrimCase{"InnerLineEndsStay", "a\r\n\r\nb", "a\r\n\r\nb"},
                      TrimCase{"LoneCrAndLf", "a\rb\n\r", "a\rb"},
                      TrimCase{"TrailingBlanksStay", "a \r\n", "a "},
                      TrimCase{"LeadingLineEndsStay", "\r\na", "\r\na"},
                      TrimCase{"ZeroBytesStay", std::string("a\0\r\n", 4), std::string("a\0", 2)},
                      TrimCase{"NoLineEnd", "abc", "abc"}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

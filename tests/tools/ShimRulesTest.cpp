// The ImageMagick shim's rules: its tool name, the arguments it translates, its exit code.
#include "ShimRules.h"

#include <gtest/gtest.h>

#include <string>

#include "support/Printing.h"

namespace imshim {
namespace {

using quillon::testing::operator<<;

struct ToolCase {
    const char* name;
    std::string programPath;
    std::optional<std::string> expected;
};

class ToolNameRule : public ::testing::TestWithParam<ToolCase> {};

TEST_P(ToolNameRule, TheShimStandsForTheToolItIsNamedAfter) {
    EXPECT_EQ(ToolNameFromProgramPath(GetParam().programPath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ToolNameRule,
    ::testing::Values(ToolCase{"Convert", "C:\\imshim\\convert.exe", "convert"},
                      ToolCase{"Composite", "C:\\imshim\\composite.exe", "composite"},
                      ToolCase{"Montage", "C:\\imshim\\montage.exe", "montage"},
                      ToolCase{"Identify", "C:\\imshim\\identify.exe", "identify"},
                      ToolCase{"Mogrify", "C:\\imshim\\mogrify.exe", "mogrify"},
                      ToolCase{"CapitalsIgnored", "C:\\IMSHIM\\Convert.EXE", "convert"},
                      ToolCase{"SlashesToo", "Z:/build/imshim/identify.exe", "identify"},
                      ToolCase{"WithoutExtension", "convert", "convert"},
                      ToolCase{"NotATool", "C:\\imshim\\rm.exe", std::nullopt},
                      ToolCase{"TheShimItself", "C:\\build\\imshim.exe", std::nullopt},
                      ToolCase{"ToolNameInFolderOnly", "C:\\convert\\other.exe", std::nullopt},
                      ToolCase{"LongerName", "C:\\x\\convert2.exe", std::nullopt},
                      ToolCase{"Empty", "", std::nullopt}),
    quillon::testing::CaseName());

struct ArgumentCase {
    const char* name;
    std::string argument;
    bool isPath;
    std::string prefix;
    std::string path;
    bool absolute;
};

class PathArgumentRule : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(PathArgumentRule, FindsTheWindowsPathsAmongTheArguments) {
    const ArgumentCase& c = GetParam();
    const auto parts = SplitPathArgument(c.argument);
    ASSERT_EQ(parts.has_value(), c.isPath);
    if (!parts)
        return;
    EXPECT_EQ(parts->prefix, c.prefix);
    EXPECT_EQ(parts->path, c.path);
    EXPECT_EQ(parts->absolute, c.absolute);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, PathArgumentRule,
    ::testing::Values(
        ArgumentCase{"DriveBackslash", "C:\\a b\\in.png", true, "", "C:\\a b\\in.png", true},
        ArgumentCase{"DriveSlash", "z:/tmp/in.png", true, "", "z:/tmp/in.png", true},
        ArgumentCase{"FormatPrefix", "png24:C:\\out.png", true, "png24:", "C:\\out.png", true},
        ArgumentCase{"FrameSuffixKept", "C:\\in.gif[0]", true, "", "C:\\in.gif[0]", true},
        ArgumentCase{"RelativeWithBackslash", "sub\\in.png", true, "", "sub\\in.png", false},
        ArgumentCase{"RelativeWithPrefix", "PNG8:sub\\o.png", true, "PNG8:", "sub\\o.png", false},
        ArgumentCase{"BareDriveIsNoPath", "C:", false, "", "", false},
        ArgumentCase{"DriveRelativeIsNoPath", "C:in.png", false, "", "", false},
        ArgumentCase{"PlainName", "in.png", false, "", "", false},
        ArgumentCase{"Option", "-resize", false, "", "", false},
        ArgumentCase{"Geometry", "10x10+5+5", false, "", "", false},
        ArgumentCase{"ColourSpec", "xc:red", false, "", "", false},
        ArgumentCase{"BuiltInPicture", "logo:", false, "", "", false},
        ArgumentCase{"OneLetterPrefixIsNoPrefix", "x:C:\\a", false, "", "", false},
        ArgumentCase{"PrefixWithPunctuation", "a-b:C:\\a", false, "", "", false},
        ArgumentCase{"UncPathLeftAlone", "\\\\server\\share\\a.png", true, "",
                     "\\\\server\\share\\a.png", false},
        ArgumentCase{"Empty", "", false, "", "", false}),
    quillon::testing::CaseName());

TEST(PathArgumentParts, FolderOfARelativePathIsWhatComesBeforeItsLastBackslash) {
    EXPECT_EQ(FolderOf("a b\\c\\d.png"), "a b\\c");
    EXPECT_EQ(FolderOf("d.png"), "");
    EXPECT_EQ(FolderOf("\\d.png"), "");
}

TEST(PathArgumentParts, BackslashesBecomeSlashes) {
    EXPECT_EQ(WithForwardSlashes("a b\\c\\d.png"), "a b/c/d.png");
    EXPECT_EQ(WithForwardSlashes("plain"), "plain");
}

TEST(LinuxCommand, PassesEveryTextAsItsOwnArgumentAfterTheShellScript) {
    const auto command =
        LinuxCommand("/tmp/a b", {"/tmp/o", "/tmp/e"}, "convert", {"logo:", "it's \"$HOME\".png"});
    const std::vector<std::string> expected = {
        "setpriv",  "--pdeathsig", "KILL",   "/bin/sh", "-c",    command[5],
        "/tmp/a b", "/tmp/o",      "/tmp/e", "convert", "logo:", "it's \"$HOME\".png"};
    EXPECT_EQ(command, expected);
}

TEST(LinuxCommand, AnErrorFileWithoutAnOutputFileIsDropped) {
    const auto command = LinuxCommand("/", {"", "/tmp/e"}, "identify", {});
    EXPECT_EQ(command[7], "");
    EXPECT_EQ(command[8], "");
}

TEST(ShimExitCode, IsTheToolsOwnCodeOrNotStartedForAFailedSpawn) {
    EXPECT_EQ(ShimExitCode(0), 0);
    EXPECT_EQ(ShimExitCode(1), 1);
    EXPECT_EQ(ShimExitCode(255), 255);
    EXPECT_EQ(ShimExitCode(256), 127);
    EXPECT_EQ(ShimExitCode(-1073741772L), 127);  // a failure status of the spawn itself
}

}  // namespace
}  // namespace imshim

// The shim's Linux command, run for real by /bin/sh: the folder is entered, every argument
// arrives untouched, the streams land where asked and the exit code comes back.
#include "ShimRules.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace imshim {
namespace {

using quillon::testing::ReadBytes;
using quillon::testing::TempFolder;

// Runs the command and returns its exit code (-1 when it did not end normally).
int RunToEnd(std::vector<std::string> command) {
    std::vector<char*> argv;
    for (std::string& part : command)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[0], argv.data());
        ::_exit(126);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class ShimCommand : public ::testing::Test {
  protected:
    std::string In(const char* name) const { return (folder.path() / name).string(); }
    TempFolder folder;
};

TEST_F(ShimCommand, ArgumentsArriveUntouchedInTheEnteredFolder) {
    const std::string work = In("a b $x");
    ASSERT_EQ(RunToEnd({"/bin/mkdir", work}), 0);
    const std::vector<std::string> arguments = {"%s|", "it's", "\"q\"", "$HOME",
                                                "a;b", "`x`",  "",      " "};
    EXPECT_EQ(RunToEnd(LinuxCommand(work, {In("out"), In("err")}, "printf", arguments)), 0);
    EXPECT_EQ(ReadBytes(In("out")), "it's|\"q\"|$HOME|a;b|`x`|| |");
    EXPECT_EQ(RunToEnd(LinuxCommand(work, {In("out"), In("err")}, "pwd", {})), 0);
    EXPECT_EQ(ReadBytes(In("out")), work + "\n");
}

TEST_F(ShimCommand, StreamsGoToTheirOwnFilesOrTogether) {
    const std::string script = "echo one; echo two >&2; echo three";
    EXPECT_EQ(RunToEnd(LinuxCommand(folder.path().string(), {In("out"), In("err")}, "sh",
                                    {"-c", script})),
              0);
    EXPECT_EQ(ReadBytes(In("out")), "one\nthree\n");
    EXPECT_EQ(ReadBytes(In("err")), "two\n");
    EXPECT_EQ(
        RunToEnd(LinuxCommand(folder.path().string(), {In("both"), ""}, "sh", {"-c", script})), 0);
    EXPECT_EQ(ReadBytes(In("both")), "one\ntwo\nthree\n");
}

TEST_F(ShimCommand, TheToolsExitCodeComesBack) {
    EXPECT_EQ(RunToEnd(LinuxCommand(folder.path().string(), {In("out"), In("err")}, "sh",
                                    {"-c", "exit 3"})),
              3);
}

TEST_F(ShimCommand, AMissingToolOrFolderFailsWithAMessage) {
    EXPECT_EQ(RunToEnd(LinuxCommand(folder.path().string(), {In("out"), In("err")},
                                    "quillon-no-such-tool", {})),
              127);
    EXPECT_NE(ReadBytes(In("err")).find("quillon-no-such-tool"), std::string::npos);
    EXPECT_EQ(RunToEnd(LinuxCommand(In("missing"), {In("out"), In("err")}, "true", {})), 127);
}

// A cancelled run kills the stand-in; the Linux tool it started must not outlive it.
TEST_F(ShimCommand, TheToolDiesWithTheProcessThatStartedIt) {
    const pid_t standIn = ::fork();
    if (standIn == 0) {
        RunToEnd(LinuxCommand(folder.path().string(), {In("out"), In("err")}, "sh",
                              {"-c", "echo $$ >tool.tmp && mv tool.tmp tool && exec sleep 600"}));
        ::_exit(0);
    }
    ASSERT_TRUE(quillon::testing::WaitUntil([&] { return !ReadBytes(In("tool")).empty(); }));
    ::kill(standIn, SIGKILL);
    ::waitpid(standIn, nullptr, 0);
    const std::string stat = "/proc/" + std::to_string(std::stoi(ReadBytes(In("tool")))) + "/stat";
    // Gone, or a zombie waiting for whoever adopted it.
    EXPECT_TRUE(quillon::testing::WaitUntil(
        [&] {
            const std::string state = ReadBytes(stat);
            const std::size_t close = state.rfind(')');
            return close == std::string::npos || state.compare(close, 4, ") Z ") == 0;
        },
        std::chrono::seconds(10)));
}

}  // namespace
}  // namespace imshim

// The command runner with the real command interpreter: what it captures, where its files go,
// and that it leaves none behind.
#include "execution/CommandRunner.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "execution/QuotePath.h"
#include "execution/ShellHelpers_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;

// Sets an environment variable of this process for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t old[32768];
        const DWORD length = ::GetEnvironmentVariableW(name, old, 32768);
        if (length > 0 && length < 32768)
            old_ = std::wstring(old, length);
        ::SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnvironment() { ::SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

class RunCommandInFolder : public ::testing::Test {
  protected:
    // Writes a batch file into the folder and returns the quoted command line that runs it.
    std::string Batch(const std::string& name, const std::string& lines) {
        return QuotePath(folder.Write(name, lines).string());
    }
    bool RunnerFilesLeft(const fs::path& where) const {
        return fs::exists(where / "temp.bat") || fs::exists(where / "dump.txt");
    }
    TempFolder folder;
};

TEST_F(RunCommandInFolder, ASilentCommandGivesAnEmptyText) {
    EXPECT_EQ(RunCommand("rem nothing", folder.path().string()).output, "");
    EXPECT_FALSE(RunnerFilesLeft(folder.path()));
}

TEST_F(RunCommandInFolder, BothStreamsAreCapturedInOrder) {
    const std::string command = Batch("both.bat",
                                      "@echo off\r\n"
                                      "echo to output\r\n"
                                      "echo to error>&2\r\n"
                                      "echo output again\r\n");
    EXPECT_EQ(RunCommand(command, folder.path().string()).output,
              "to output\r\nto error\r\noutput again");
    EXPECT_FALSE(RunnerFilesLeft(folder.path()));
}

TEST_F(RunCommandInFolder, TrailingEmptyLinesAreRemovedAndInnerOnesKept) {
    const std::string command = Batch("lines.bat",
                                      "@echo off\r\n"
                                      "echo a\r\n"
                                      "echo.\r\n"
                                      "echo b\r\n"
                                      "echo.\r\n"
                                      "echo.\r\n");
    EXPECT_EQ(RunCommand(command, folder.path().string()).output, "a\r\n\r\nb");
}

TEST_F(RunCommandInFolder, SeveralTrailingBackslashesAreOne) {
    const std::string given = folder.path().string() + "\\\\\\";
    EXPECT_EQ(RunCommand("cd", given).output, folder.path().string());
    EXPECT_FALSE(RunnerFilesLeft(folder.path()));
}

TEST_F(RunCommandInFolder, AWorkFolderWithBlanksIsEntered) {
    const fs::path work = folder.path() / "my work folder";
    fs::create_directory(work);
    EXPECT_EQ(RunCommand("cd", work.string()).output, work.string());
    EXPECT_FALSE(RunnerFilesLeft(work));
}

TEST_F(RunCommandInFolder, ABatchInAFolderWithCommandCharactersRunsWhenQuoted) {
    const fs::path odd = folder.path() / "Tom & Jerry (1)";
    fs::create_directory(odd);
    const std::string batch = folder.Write("Tom & Jerry (1)\\script.bat", "@echo ran\r\n").string();
    EXPECT_EQ(RunCommand(QuotePath(batch), folder.path().string()).output, "ran");
}

TEST_F(RunCommandInFolder, AnEmptyWorkFolderMeansTheTempFolder) {
    ScopedEnvironment temp(L"TEMP", folder.path().wstring().c_str());
    EXPECT_EQ(RunCommand("cd", "").output, folder.path().string());
    EXPECT_FALSE(RunnerFilesLeft(folder.path()));
}

TEST_F(RunCommandInFolder, WithoutTempTheRootOfTheCurrentDriveIsUsed) {
    // The test's own folders lie on drive C:, whose root the run may use for a moment.
    wchar_t oldCurrent[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, oldCurrent);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.path().wstring().c_str()));
    const std::string root = folder.path().root_path().string();
    {
        ScopedEnvironment noTemp(L"TEMP", nullptr);
        EXPECT_EQ(RunCommand("cd", "").output, root);
    }
    ::SetCurrentDirectoryW(oldCurrent);
    EXPECT_FALSE(RunnerFilesLeft(root));
}

TEST_F(RunCommandInFolder, AFailedStartIsAFaultAndNeverReturnsAnOldDump) {
    folder.Write("dump.txt", "left from before\r\n\r\n");
    // Batch files are started through the command interpreter COMSPEC names.
    ScopedEnvironment noInterpreter(L"COMSPEC", L"C:\\no\\such\\cmd.exe");
    ASSERT_FALSE(ShellRun(folder.Write("probe.bat", "@rem\r\n").string(), "", SW_HIDE));
    const CommandResult result = RunCommand("echo new", folder.path().string());
    EXPECT_EQ(result.fault, RunFault::kNoInterpreter);
    EXPECT_EQ(result.faultPath, (folder.path() / "temp.bat").string());
    EXPECT_EQ(result.output, "");
    EXPECT_FALSE(RunnerFilesLeft(folder.path()));
}

}  // namespace
}  // namespace quillon

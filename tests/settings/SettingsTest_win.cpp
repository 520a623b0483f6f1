// The settings file beside the running program (here, the test executable).
#include "settings/Settings_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <windows.h>

#include "base/Files_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove(SettingsPath()); }
    void TearDown() override { std::filesystem::remove(SettingsPath()); }
    void WriteSettings(std::string_view bytes) {
        std::filesystem::path path(SettingsPath());
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    OutputPolicy Loaded() { return LoadSettings(); }
};

TEST_F(SettingsFile, SitsBesideTheProgramUnderItsNameWithOpt) {
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    SaveSettings({OutputPlace::kAsk, OutputPlace::kAsk});
    EXPECT_EQ(
        testing::ReadBytes(std::filesystem::path(program).parent_path() / "quillon_win_tests.opt"),
        "\x02\x03");
}

TEST_F(SettingsFile, MissingFileGivesTheProgramAndFirstPictureFolders) {
    const OutputPolicy policy = Loaded();
    EXPECT_EQ(policy.withoutPictures, OutputPlace::kProgramFolder);
    EXPECT_EQ(policy.withPictures, OutputPlace::kFirstPictureFolder);
}

TEST_F(SettingsFile, ShortFilesReadMissingBytesAsAsk) {
    WriteSettings("");
    EXPECT_EQ(Loaded().withoutPictures, OutputPlace::kAskUnset);
    WriteSettings("\x02");
    const OutputPolicy one = Loaded();
    EXPECT_EQ(one.withoutPictures, OutputPlace::kAsk);
    EXPECT_EQ(one.withPictures, OutputPlace::kAskUnset);
}

TEST_F(SettingsFile, SaveWritesTwoBytesAndKeepsALongerFilesTail) {
    SaveSettings({OutputPlace::kAsk, OutputPlace::kAsk});
    EXPECT_EQ(testing::ReadBytes(SettingsPath()), "\x02\x03");
    WriteSettings("abcdef");
    SaveSettings({OutputPlace::kProgramFolder, OutputPlace::kProgramFolder});
    EXPECT_EQ(testing::ReadBytes(SettingsPath()),
              "\x01\x02"
              "cdef");
    EXPECT_EQ(Loaded().withPictures, OutputPlace::kProgramFolder);
}

TEST(FileExists, FoldersCountAndMissingPathsDoNot) {
    testing::TempFolder folder;
    EXPECT_TRUE(FileExists(folder.path().string()));
    EXPECT_TRUE(FileExists(folder.Write("f.txt", "x").string()));
    EXPECT_FALSE(FileExists((folder.path() / "none").string()));
}

}  // namespace
}  // namespace quillon

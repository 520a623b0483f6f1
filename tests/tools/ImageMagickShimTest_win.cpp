// ImageMagick inside the test prefix: the shims on PATH run the Linux system's tools, the
// command runner captures what they print, and the registry names the installed version.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "execution/CommandRunner.h"
#include "execution/QuotePath.h"
#include "execution/Registry_win.h"
#include "support/TempFolder.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool IsPng(const fs::path& file) {
    return ReadBytes(file).compare(0, 8, kPngSignature) == 0;
}

std::wstring Found(const wchar_t* program) {
    wchar_t path[MAX_PATH] = {};
    if (::SearchPathW(nullptr, program, nullptr, MAX_PATH, path, nullptr) == 0)
        return std::wstring();
    return path;
}

TEST(ImageMagickInThePrefix, ConvertOnThePathIsTheShim) {
    const std::wstring convert = Found(L"convert.exe");
    ASSERT_FALSE(convert.empty()) << "convert.exe is not on PATH: was the prefix set up?";
    EXPECT_EQ(fs::path(convert).parent_path(), fs::path(L"C:\\imshim"));
    for (const wchar_t* tool : {L"composite.exe", L"montage.exe", L"identify.exe", L"mogrify.exe"})
        EXPECT_FALSE(Found(tool).empty()) << tool;
}

TEST(ImageMagickInThePrefix, TheCommandInterpreterRunsImageMagick6) {
    const auto result =
        testing::RunConsole(L"C:\\windows\\system32\\cmd.exe", L"/c convert -version");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.output.find("Version: ImageMagick 6."), std::string::npos) << result.output;
}

TEST(ImageMagickInThePrefix, TheRegistryNamesTheVersionAndTheShimFolder) {
    const std::string version =
        GetRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ImageMagick\\Current", "Version");
    EXPECT_EQ(version.substr(0, 2), "6.") << version;
    EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ImageMagick\\Current", "BinPath"),
              "C:\\imshim");
    const auto result = testing::RunConsole(Found(L"convert.exe"), L"-version");
    EXPECT_NE(result.output.find("ImageMagick " + version + " "), std::string::npos)
        << result.output;
}

TEST(ImageMagickInThePrefix, ARunCommandMakesAPictureInTheWorkFolder) {
    TempFolder folder;
    EXPECT_EQ(RunCommand("convert logo: -resize 10x10 out.png", folder.path().string()).output, "");
    EXPECT_TRUE(IsPng(folder.path() / "out.png"));
}

TEST(ImageMagickInThePrefix, ImageMagicksErrorTextIsCaptured) {
    TempFolder folder;
    const std::string output =
        RunCommand("convert nosuchfile.png x.png", folder.path().string()).output;
    EXPECT_NE(output.find("unable to open image"), std::string::npos) << output;
    EXPECT_NE(output.find("nosuchfile.png"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(folder.path() / "x.png"));
}

TEST(ImageMagickInThePrefix, WindowsPathsWithBlanksAndFormatPrefixesAreTranslated) {
    TempFolder folder;
    const fs::path work = folder.path() / "in a folder";
    fs::create_directory(work);
    fs::create_directory(work / "sub dir");
    const std::string absolute = (work / "made here.png").string();
    const std::string command = "convert logo: -resize 20x20 " + QuotePath(absolute) +
                                " && convert " + QuotePath(absolute) +
                                " -resize 5x5 \"png8:sub dir\\small.png\"";
    EXPECT_EQ(RunCommand(command, work.string()).output, "");
    EXPECT_TRUE(IsPng(work / "made here.png"));
    EXPECT_TRUE(IsPng(work / "sub dir" / "small.png"));
}

TEST(ImageMagickInThePrefix, TheToolsExitCodeAndStandardOutputComeBack) {
    TempFolder folder;
    ASSERT_EQ(RunCommand("convert -size 3x2 xc:red red.png", folder.path().string()).output, "");
    const std::wstring identify = Found(L"identify.exe");
    const auto good =
        testing::RunConsole(identify, L"\"" + (folder.path() / "red.png").wstring() + L"\"");
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_NE(good.output.find("PNG 3x2"), std::string::npos) << good.output;
    const auto bad =
        testing::RunConsole(identify, L"\"" + (folder.path() / "none.png").wstring() + L"\"");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.output, "");  // the complaint went to standard error
}

TEST(ImageMagickInThePrefix, SeparatelyRedirectedStreamsStaySeparate) {
    TempFolder folder;
    ASSERT_EQ(RunCommand("convert -size 3x2 xc:red red.png", folder.path().string()).output, "");
    auto quoted = [&folder](const char* name) {
        return L"\"" + (folder.path() / name).wstring() + L"\"";
    };
    const auto result =
        testing::RunConsole(L"C:\\windows\\system32\\cmd.exe",
                            L"/s /c \"identify " + quoted("red.png") + L" " + quoted("none.png") +
                                L" 1>" + quoted("out.txt") + L" 2>" + quoted("err.txt") + L"\"");
    EXPECT_EQ(result.exitCode, 1);
    const std::string output = ReadBytes(folder.path() / "out.txt");
    const std::string error = ReadBytes(folder.path() / "err.txt");
    EXPECT_NE(output.find("PNG 3x2"), std::string::npos) << output;
    EXPECT_EQ(output.find("unable to open"), std::string::npos) << output;
    EXPECT_NE(error.find("unable to open"), std::string::npos) << error;
    EXPECT_EQ(error.find("PNG 3x2"), std::string::npos) << error;
}

}  // namespace
}  // namespace quillon

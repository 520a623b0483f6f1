#include "execution/ImageMagickTools.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(LegacyToolName, NamesWhatMagickIsToldAndRefusesOtherNames) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"C:\\Quillon\\im7\\convert.exe", ""},
        {"C:\\Quillon\\im7\\Montage.EXE", "montage"},
        {"compare", "compare"},
        {"C:/x/identify.exe", "identify"},
        {"C:\\x\\conjure.exe", "conjure"},
        {"C:\\x\\stream.exe", "stream"},
        {"C:\\convert.exe\\magick.exe", std::nullopt},
        {"C:\\x\\convert2.exe", std::nullopt},
        {"C:\\x\\.exe", std::nullopt},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(MagickToolArgument(path), expected) << path;
}

// Whatever follows the forwarder's own name reaches magick byte for byte, however it is
// quoted; only the name in front changes.
TEST(MagickCommandLine, KeepsTheArgumentsAsWrittenAndPutsTheToolWordInFront) {
    const wchar_t magick[] = L"C:\\Program Files\\IM\\magick.exe";
    const std::tuple<const wchar_t*, const char*, const wchar_t*> cases[] = {
        {L"convert a.png b.png", "", L"\"C:\\Program Files\\IM\\magick.exe\" a.png b.png"},
        {L"\"C:\\Q u\\im7\\montage.exe\"  -label \"\" \"a b\\\\\" \\\"x\\\"\tz", "montage",
         L"\"C:\\Program Files\\IM\\magick.exe\" montage  -label \"\" \"a b\\\\\" \\\"x\\\"\tz"},
        {L"C:\\Q\\im7\\\"odd name\"\\identify.exe -format %w \"%f\"", "identify",
         L"\"C:\\Program Files\\IM\\magick.exe\" identify -format %w \"%f\""},
        {L"convert", "", L"\"C:\\Program Files\\IM\\magick.exe\""},
        {L"compare\t-metric AE", "compare",
         L"\"C:\\Program Files\\IM\\magick.exe\" compare\t-metric AE"},
    };
    for (const auto& [line, tool, expected] : cases)
        EXPECT_EQ(MagickCommandLine(magick, tool, line), expected);
}

TEST(LegacyNames, AreNeededOnlyForMagickWithoutEveryLegacyTool) {
    EXPECT_TRUE(NeedsLegacyNames(true, 0));
    EXPECT_TRUE(NeedsLegacyNames(true, 5));
    EXPECT_FALSE(NeedsLegacyNames(true, 8));
    EXPECT_FALSE(NeedsLegacyNames(false, 0));
    EXPECT_FALSE(NeedsLegacyNames(false, 5));
}

TEST(ImageMagickSearchPath, PutsImageMagickThenTheForwardersInFrontOnce) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\W;C:\\W\\s32", L"C:\\IM", L"", L"C:\\IM;C:\\W;C:\\W\\s32"},
        {L"C:\\W", L"C:\\IM", L"C:\\Q\\im7", L"C:\\IM;C:\\Q\\im7;C:\\W"},
        {L"C:\\IM;C:\\Q\\im7;C:\\W", L"C:\\IM", L"C:\\Q\\im7", L"C:\\IM;C:\\Q\\im7;C:\\W"},
        {L"c:\\im\\;C:\\W", L"C:\\IM", L"C:\\Q\\im7", L"C:\\IM;C:\\Q\\im7;C:\\W"},
        {L"C:\\Q\\im7;C:\\W", L"C:\\IM", L"C:\\Q\\im7", L"C:\\IM;C:\\Q\\im7;C:\\W"},
        {L"C:\\IM", L"C:\\IM", L"C:\\Q\\im7", L"C:\\IM;C:\\Q\\im7"},
        {L"", L"", L"C:\\Q\\im7", L"C:\\Q\\im7"},
    };
    for (const auto& [path, binPath, forwarders, expected] : cases)
        EXPECT_EQ(ImageMagickSearchPath(path, binPath, forwarders), expected) << path;
}

TEST(DeprecationNotice, OnlyTheExactNoticeLinesAreDropped) {
    const std::string notice =
        "WARNING: The convert command is deprecated in IMv7, use \"magick\" instead of "
        "\"convert\" or \"magick convert\"";
    const std::pair<std::string, std::string> cases[] = {
        {notice, ""},
        {notice + "\r\n" + notice + "\r\n", ""},
        {notice + "\r\nconvert: unable to open image 'x.png'\r\n" + notice,
         "convert: unable to open image 'x.png'\r\n"},
        {"made\n" + notice + "\nkept\n", "made\nkept\n"},
        {" " + notice + "\r\n", " " + notice + "\r\n"},
        {notice + ".\r\n", notice + ".\r\n"},
        {"WARNING: The convert command is deprecated in IMv7\r\n",
         "WARNING: The convert command is deprecated in IMv7\r\n"},
        {"no line end", "no line end"},
    };
    for (const auto& [output, expected] : cases)
        EXPECT_EQ(WithoutDeprecationNotices(output), expected) << output;
}

}  // namespace
}  // namespace quillon

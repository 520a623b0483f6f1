#include "execution/ImageMagickTools.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(LegacyToolName, NamesWhatMagickIsToldAndRefusesOtherNames) {
    EXPECT_EQ(MagickToolArgument("C:\\Q\\im7\\convert.exe"), "");
    EXPECT_EQ(MagickToolArgument("C:/Q/Montage.EXE"), "montage");
    EXPECT_EQ(MagickToolArgument("C:\\convert.exe\\magick.exe"), std::nullopt);
}

// Only the forwarder's own name changes; the rest reaches magick byte for byte.
TEST(MagickCommandLine, KeepsTheArgumentsAsWritten) {
    const wchar_t magick[] = L"C:\\I M\\magick.exe";
    EXPECT_EQ(MagickCommandLine(magick, "", L"convert a.png b.png"),
              L"\"C:\\I M\\magick.exe\" a.png b.png");
    EXPECT_EQ(
        MagickCommandLine(magick, "montage", L"\"C:\\Q u\\montage.exe\"  \"a b\\\\\" \\\"x\tz"),
        L"\"C:\\I M\\magick.exe\" montage  \"a b\\\\\" \\\"x\tz");
    EXPECT_EQ(MagickCommandLine(magick, "identify", L"C:\\\"o d\"\\identify.exe -format \"%f\""),
              L"\"C:\\I M\\magick.exe\" identify -format \"%f\"");
    EXPECT_EQ(MagickCommandLine(magick, "", L"convert"), L"\"C:\\I M\\magick.exe\"");
}

TEST(ImageMagickSearchPath, PutsImageMagickThenTheForwardersInFrontOnce) {
    const wchar_t expected[] = L"C:\\IM;C:\\Q\\im7;C:\\W";
    for (const wchar_t* path :
         {L"C:\\W", L"C:\\IM;C:\\Q\\im7;C:\\W", L"c:\\im\\;C:\\W", L"C:\\Q\\im7;C:\\W"})
        EXPECT_EQ(ImageMagickSearchPath(path, L"C:\\IM", L"C:\\Q\\im7"), expected) << path;
    EXPECT_EQ(ImageMagickSearchPath(L"C:\\W", L"C:\\IM", L""), L"C:\\IM;C:\\W");
    EXPECT_EQ(ImageMagickSearchPath(L"C:\\IM", L"C:\\IM", L"C:\\Q\\im7"), L"C:\\IM;C:\\Q\\im7");
}

TEST(DeprecationNotice, OnlyTheExactNoticeLinesAreDropped) {
    const std::string notice =
        "WARNING: The convert command is deprecated in IMv7, use \"magick\" instead of "
        "\"convert\" or \"magick convert\"";
    EXPECT_EQ(WithoutDeprecationNotices(notice), "");
    EXPECT_EQ(WithoutDeprecationNotices(notice + "\r\nconvert: no x.png\r\n" + notice + "\r\n"),
              "convert: no x.png\r\n");
    EXPECT_EQ(WithoutDeprecationNotices("made\n" + notice + "\nkept"), "made\nkept");
    for (const std::string& kept : {" " + notice + "\r\n", notice + ".\r\n", notice.substr(0, 40)})
        EXPECT_EQ(WithoutDeprecationNotices(kept), kept);
}

}  // namespace
}  // namespace quillon

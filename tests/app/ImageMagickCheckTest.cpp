// Which ImageMagick versions will do, and how its folder is put first on the search path.
#include "app/ImageMagickCheck.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

struct VersionCase {
    const char* name;
    const char* version;
    bool supported;
};

class ImageMagickVersionRule : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ImageMagickVersionRule, OnlyAFirstDigitFromSixToNineWillDo) {
    EXPECT_EQ(IsSupportedImageMagick(GetParam().version), GetParam().supported);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ImageMagickVersionRule,
    ::testing::Values(VersionCase{"SixWithQuantum", "6.8.9-Q16", true},
                      VersionCase{"Seven", "7.0.1-0", true}, VersionCase{"LoneNine", "9", true},
                      VersionCase{"Empty", "", false}, VersionCase{"LeadingBlank", " 6", false},
                      VersionCase{"TwoDigitMajor", "10.0", false},
                      VersionCase{"Five", "5.9", false}, VersionCase{"Zero", "0.6", false},
                      VersionCase{"LetterFirst", "v6.9", false},
                      VersionCase{"ColonAfterNine", ":6", false}),
    testing::CaseName());

struct PathCase {
    const char* name;
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* expected;
};

class FolderFirstOnPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(FolderFirstOnPath, ComesFirstOnceAndOnlyOnce) {
    EXPECT_EQ(SearchPathWithFolderFirst(GetParam().path, GetParam().folder), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FolderFirstOnPath,
    ::testing::Values(
        PathCase{"GoesInFront", L"C:\\Windows\\system32;C:\\Windows", L"C:\\IM",
                 L"C:\\IM;C:\\Windows\\system32;C:\\Windows"},
        PathCase{"AlreadyFirstStays", L"C:\\IM;C:\\Windows", L"C:\\IM", L"C:\\IM;C:\\Windows"},
        PathCase{"AlreadyFirstInOtherCaseStays", L"c:\\im;C:\\Windows", L"C:\\IM",
                 L"c:\\im;C:\\Windows"},
        PathCase{"TrailingBackslashIgnored", L"C:\\IM\\;C:\\Windows", L"C:\\IM",
                 L"C:\\IM\\;C:\\Windows"},
        PathCase{"AloneOnPathStays", L"C:\\IM", L"C:\\IM\\", L"C:\\IM"},
        PathCase{"LaterOnPathStillGoesInFront", L"C:\\Windows;C:\\IM", L"C:\\IM",
                 L"C:\\IM;C:\\Windows;C:\\IM"},
        PathCase{"LongerNameIsAnotherFolder", L"C:\\IM7;C:\\Windows", L"C:\\IM",
                 L"C:\\IM;C:\\IM7;C:\\Windows"},
        PathCase{"EmptyPathBecomesTheFolder", L"", L"C:\\IM", L"C:\\IM"},
        PathCase{"NoFolderChangesNothing", L"C:\\Windows", L"", L"C:\\Windows"},
        PathCase{"EmptyFirstEntryIsNotTheFolder", L";C:\\IM", L"C:\\IM", L"C:\\IM;;C:\\IM"}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

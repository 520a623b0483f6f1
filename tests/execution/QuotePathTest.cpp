// Quoting a path for a batch line.
#include "execution/QuotePath.h"

#include <gtest/gtest.h>

#include <string>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

struct QuoteCase {
    const char* name;
    std::string path;
    std::string expected;
};

class QuotePathRule : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuotePathRule, QuotesExactlyThePathsABatchLineWouldSplit) {
    EXPECT_EQ(QuotePath(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, QuotePathRule,
    ::testing::Values(
        QuoteCase{"EmptyStaysEmpty", "", ""},
        QuoteCase{"PlainPathUnchanged", "C:\\Pictures\\script.bat", "C:\\Pictures\\script.bat"},
        QuoteCase{"BlankInFolder", "C:\\My Pictures\\script.bat",
                  "\"C:\\My Pictures\\script.bat\""},
        QuoteCase{"BlankInBaseName", "C:\\a\\my script.bat", "\"C:\\a\\my script.bat\""},
        QuoteCase{"LoneBlank", " ", "\" \""}, QuoteCase{"LeadingBlank", " C:\\a", "\" C:\\a\""},
        QuoteCase{"Ampersand", "C:\\Tom&Jerry\\s.bat", "\"C:\\Tom&Jerry\\s.bat\""},
        QuoteCase{"Pipe", "C:\\a|b\\s.bat", "\"C:\\a|b\\s.bat\""},
        QuoteCase{"Less", "C:\\a<b\\s.bat", "\"C:\\a<b\\s.bat\""},
        QuoteCase{"Greater", "C:\\a>b\\s.bat", "\"C:\\a>b\\s.bat\""},
        QuoteCase{"Caret", "C:\\a^b\\s.bat", "\"C:\\a^b\\s.bat\""},
        QuoteCase{"AmpersandAtEnd", "C:\\a&", "\"C:\\a&\""},
        QuoteCase{"TabIsNotABlank", "C:\\a\tb", "C:\\a\tb"},
        QuoteCase{"OtherPunctuationUnchanged", "C:\\a(1)%x!;,=\\b.bat", "C:\\a(1)%x!;,=\\b.bat"},
        QuoteCase{"QuotedWithBlankIsQuotedAgain", "\"C:\\My Pictures\"", "\"\"C:\\My Pictures\"\""},
        QuoteCase{"QuotedWithoutBlankUnchanged", "\"C:\\Pictures\"", "\"C:\\Pictures\""},
        QuoteCase{"HighBytesUnchanged", "C:\\Fotos\\\xE9t\xE9.bat", "C:\\Fotos\\\xE9t\xE9.bat"}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

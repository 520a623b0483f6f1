#include "catalogue/ScriptFormat.h"

#include <gtest/gtest.h>

#include <string>

#include "support/PlainScriptReader.h"
#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

struct Read {
    ScriptReadResult result;
    ScriptEntry entry;
};

Read ReadText(std::string_view text, ScriptEntry start = {}) {
    MemoryByteSource source(text);
    Read read{{}, std::move(start)};
    read.result = ReadScript(&source, read.entry);
    return read;
}

// ---- Body line conversion -------------------------------------------------------------

struct LineCase {
    const char* name;
    std::string line;
    std::string converted;
};

class BodyLineConversion : public ::testing::TestWithParam<LineCase> {};

TEST_P(BodyLineConversion, TurnsShellSpellingIntoBatchSpelling) {
    EXPECT_EQ(ConvertBodyLine(GetParam().line), GetParam().converted);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BodyLineConversion,
    ::testing::Values(
        LineCase{"EmptyLineStaysAnEmptyBatchLine", "", "\r\n"},
        LineCase{"LoneHashBecomesBatchComment", "#", "::\r\n"},
        LineCase{"HashAtStartBecomesComment", "#resize it", "::resize it\r\n"},
        LineCase{"HashAfterBlanksIsText", "  # not a comment", "  # not a comment\r\n"},
        LineCase{"HashInsideLineIsText", "convert a#b", "convert a#b\r\n"},
        LineCase{"TrailingBlanksGo", "convert a b   ", "convert a b\r\n"},
        LineCase{"TrailingTabsStay", "a\t", "a\t\r\n"},
        LineCase{"FinalBackslashContinues", "convert in.png \\", "convert in.png ^\r\n"},
        LineCase{"BackslashBeforeTrailingBlanksContinues", "a \\   ", "a ^\r\n"},
        LineCase{"LoneBackslashContinues", "\\", "^\r\n"},
        LineCase{"DoubleBackslashAtEnd", "a\\\\", "a\\^\r\n"},
        LineCase{"BackslashInsideLineStays", "C:\\a b", "C:\\a b\r\n"},
        LineCase{"SingleQuotesBecomeDouble", "-draw 'circle 1,1'", "-draw \"circle 1,1\"\r\n"},
        LineCase{"EscapedParenthesesLoseBackslash", "\\( a \\) b", "( a ) b\r\n"},
        LineCase{"BackslashBlankParenthesisStays", "\\ (", "\\ (\r\n"},
        LineCase{"NoRescanAfterParenthesis", "\\\\(", "\\(\r\n"},
        LineCase{"PercentDoubled", "-resize 50%", "-resize 50%%\r\n"},
        LineCase{"EveryPercentDoubled", "%%%", "%%%%%%\r\n"},
        LineCase{"HashAndContinuation", "#\\", "::^\r\n"},
        LineCase{"LoneLineFeedStaysInside", "a\nb", "a\nb\r\n"},
        LineCase{"ClosingTagWithTextIsBody", "</script> x", "</script> x\r\n"}),
    testing::CaseName());

// ---- Attributes and counts ------------------------------------------------------------

TEST(AttributeValue, FindsKeywordInAnyCaseAndKeepsValueCase) {
    const AttributeResult name = AttributeValue("<SCRIPT ARGS=\"1\" NAME=\"Sepia Tone\">", "name=");
    EXPECT_TRUE(name.found);
    EXPECT_EQ(name.value, "Sepia Tone");
}

TEST(AttributeValue, BlankBeforeEqualsIsNotTheKeyword) {
    EXPECT_FALSE(AttributeValue("<script args = \"1\" name=\"x\">", "args=").found);
}

TEST(AttributeValue, TailOfLongerWordCounts) {
    const AttributeResult value = AttributeValue("<script nargs=\"3\" args=\"1\">", "args=");
    EXPECT_TRUE(value.found);
    EXPECT_EQ(value.value, "3");
}

TEST(AttributeValue, SearchStartsAtLineStartNotAtTag) {
    EXPECT_EQ(AttributeValue("name=\"before\" <script name=\"after\">", "name=").value, "before");
}

TEST(AttributeValue, SingleQuotesDoNotDelimit) {
    EXPECT_EQ(AttributeValue("<script name='a' b=\"c\">", "name=").value, "c");
}

TEST(AttributeValue, UnclosedValueRunsToLineEndAndMissingQuoteGivesEmpty) {
    EXPECT_EQ(AttributeValue("<script name=\"open", "name=").value, "open");
    const AttributeResult bare = AttributeValue("<script name=x>", "name=");
    EXPECT_TRUE(bare.found);
    EXPECT_EQ(bare.value, "");
}

struct CountCase {
    const char* name;
    std::string value;
    int count;
};

class ArgsCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(ArgsCount, ReadsLeadingNumberRoundedToEvenLowEightBits) {
    EXPECT_EQ(ArgsValueToCount(GetParam().value), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ArgsCount,
    ::testing::Values(CountCase{"Plain", "2", 2}, CountCase{"LeadingBlanksAndTabs", " \t 3", 3},
                      CountCase{"TrailingText", "4 pictures", 4}, CountCase{"NoNumber", "two", 0},
                      CountCase{"Empty", "", 0}, CountCase{"HalfToEvenDown", "2.5", 2},
                      CountCase{"HalfToEvenUp", "3.5", 4}, CountCase{"AboveHalf", "2.51", 3},
                      CountCase{"BelowHalf", "2.49", 2}, CountCase{"LeadingDot", ".5", 0},
                      CountCase{"DotSix", ".6", 1}, CountCase{"Wraps256", "256", 0},
                      CountCase{"Wraps300", "300", 44}, CountCase{"MinusOne", "-1", 255},
                      CountCase{"MinusHalf", "-0.5", 0}, CountCase{"MinusOneAndHalf", "-1.5", 254},
                      CountCase{"Plus", "+1", 1}, CountCase{"SignAlone", "-", 0},
                      CountCase{"ExponentStops", "1e3", 1},
                      CountCase{"Huge", std::string(5000, '9'), 255},
                      CountCase{"HugeRoundsUpAndWraps", std::string(40, '9') + ".5", 0},
                      CountCase{"Is255", "255", 255}),
    testing::CaseName());

// ---- Whole files ----------------------------------------------------------------------

TEST(ReadScript, ReadsTheNewScriptTemplate) {
    const Read read = ReadText(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<script args=\"0\" name=\"Short description of script\" erase_temp=\"false\">\r\n"
        "#Remove this line and replace it with the IMv6 script\r\n"
        "</script>\r\n");
    EXPECT_EQ(read.result.fault, ScriptFault::kNone);
    EXPECT_EQ(read.result.count, 0);
    EXPECT_EQ(read.entry.displayName, "Short description of script");
    EXPECT_EQ(read.entry.eraseTemp, 0);
    EXPECT_EQ(read.entry.body, "::Remove this line and replace it with the IMv6 script\r\n");
}

TEST(ReadScript, CapitalTagAndAttributesReadLikeLowerCase) {
    const Read read = ReadText(
        "<SCRIPT ARGS=\"2\" NAME=\"Side By Side\" ERASE_TEMP=\"TRUE\">\r\n"
        "x\r\n</SCRIPT>\r\n");
    EXPECT_EQ(read.result.count, 2);
    EXPECT_EQ(read.entry.displayName, "Side By Side");
    EXPECT_EQ(read.entry.eraseTemp, 1);
    EXPECT_EQ(read.entry.body, "x\r\n");
}

TEST(ReadScript, EraseTempOnlyForQuotedTrueAfterKeyword) {
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"a\" erase_temp=\"false\">").entry.eraseTemp, 0);
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"a\" erase_temp=true>").entry.eraseTemp, 0);
    EXPECT_EQ(ReadText("<script name=\"true\" args=\"0\" erase_temp=\"no\">").entry.eraseTemp, 0);
    EXPECT_EQ(
        ReadText("<script args=\"0\" name=\"a\" erase_temp=\"x\" z=\"true\">").entry.eraseTemp, 1);
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"a\" erase_temp=\"\"true\">").entry.eraseTemp, 1);
}

TEST(ReadScript, TagClosedWithoutBlankIsNoTag) {
    const Read read = ReadText("<script>\r\n<scriptargs=\"1\" name=\"a\">\r\n");
    EXPECT_EQ(read.result.fault, ScriptFault::kNoTag);
    EXPECT_EQ(read.result.count, kInvalidScript);
}

TEST(ReadScript, TagOnLastLineGivesEmptyBody) {
    const Read read = ReadText("<?xml?>\r\n<script args=\"1\" name=\"only tag\">");
    EXPECT_EQ(read.result.count, 1);
    EXPECT_EQ(read.entry.body, "");
}

TEST(ReadScript, LoneCarriageReturnEndsLines) {
    const Read read = ReadText("<script args=\"0\" name=\"cr\">\ra\r\rb\r</script>");
    EXPECT_EQ(read.entry.body, "a\r\n\r\nb\r\n");
}

TEST(ReadScript, CtrlZEndsTheText) {
    const Read read = ReadText("<script args=\"0\" name=\"z\">\r\na\x1A\r\nb\r\n");
    EXPECT_EQ(read.entry.body, "a\r\n");
    EXPECT_EQ(ReadText("\x1A<script args=\"0\" name=\"z\">").result.fault, ScriptFault::kNoTag);
}

TEST(ReadScript, ClosingLineMayHaveBlanksButNotTabsOrText) {
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"c\">\r\na\r\n   </Script>  \r\nb\r\n").entry.body,
              "a\r\n");
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"c\">\r\n\t</script>\r\nb").entry.body,
              "\t</script>\r\nb\r\n");
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"c\">\r\n  </scr\r\n").entry.body, "  </scr\r\n");
}

TEST(ReadScript, BlankLinesInBodyAreKeptAndBodyRunsToEndWithoutClosingLine) {
    EXPECT_EQ(ReadText("<script args=\"0\" name=\"b\">\r\na\r\n\r\n   \r\nb").entry.body,
              "a\r\n\r\n\r\nb\r\n");
}

TEST(ReadScript, MissingArgsOrNameFailsInOrderAndKeepsEarlierFields) {
    ScriptEntry old;
    old.displayName = "old name";
    old.argCount = 7;
    old.body = "old body";
    Read noArgs = ReadText("<script name=\"n\">\r\nx\r\n", old);
    EXPECT_EQ(noArgs.result.fault, ScriptFault::kNoArgs);
    EXPECT_EQ(noArgs.entry.argCount, 7);
    EXPECT_EQ(noArgs.entry.displayName, "old name");

    Read noName = ReadText("<script args=\"3\">\r\nx\r\n", old);
    EXPECT_EQ(noName.result.fault, ScriptFault::kNoName);
    EXPECT_EQ(noName.entry.argCount, 3);
    EXPECT_EQ(noName.entry.displayName, "old name");
    EXPECT_EQ(noName.entry.body, "old body");
}

TEST(ReadScript, AttributesMustStandOnTheTagLine) {
    EXPECT_EQ(ReadText("args=\"1\" name=\"x\"\r\n<script >\r\n").result.fault,
              ScriptFault::kNoArgs);
}

TEST(ReadScript, CountThatStoresAs255IsInvalidButFieldsAreFilled) {
    const Read read = ReadText("<script args=\"-1\" name=\"neg\">\r\nx\r\n");
    EXPECT_EQ(read.result.count, kInvalidScript);
    EXPECT_EQ(read.result.fault, ScriptFault::kNone);
    EXPECT_EQ(read.entry.displayName, "neg");
}

TEST(ReadScript, UnopenableFileReadsAsNoTag) {
    ScriptEntry entry;
    EXPECT_EQ(ReadScript(nullptr, entry).fault, ScriptFault::kNoTag);
}

TEST(ReadScript, ByteOrderMarkIsPartOfFirstLine) {
    EXPECT_EQ(ReadText("\xEF\xBB\xBF<script args=\"0\" name=\"bom\">").entry.displayName, "bom");
}

// ---- Body lines that begin like the closing tag ---------------------------------------

// The reader holds back the start of a line while it may still be the closing line; once
// the line turns out to be body text, that start must appear exactly once.
struct ClosingLikeCase {
    const char* name;
    std::string afterTag;
    std::string body;
    std::string tag = "<script args=\"0\" name=\"t\">\r\n";
};

class LinesLikeTheClosingTag : public ::testing::TestWithParam<ClosingLikeCase> {};

TEST_P(LinesLikeTheClosingTag, StreamingReaderKeepsBodyLinesAsWritten) {
    EXPECT_EQ(ReadText(GetParam().tag + GetParam().afterTag).entry.body, GetParam().body);
}

TEST_P(LinesLikeTheClosingTag, PlainReadingGivesTheSameBody) {
    ScriptEntry entry;
    plain::ReadScript(GetParam().tag + GetParam().afterTag, entry);
    EXPECT_EQ(entry.body, GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LinesLikeTheClosingTag,
    ::testing::Values(
        ClosingLikeCase{"BlanksAngleAndText", "  <x\r\n", "  <x\r\n"},
        ClosingLikeCase{"InputRedirection", "< in.txt\r\n", "< in.txt\r\n"},
        ClosingLikeCase{"LoneAngle", "<\r\n", "<\r\n"},
        ClosingLikeCase{"WholeTagThenText", "</script> x\r\n", "</script> x\r\n"},
        ClosingLikeCase{"WholeTagThenTextWithoutBlank", "</script>x", "</script>x\r\n"},
        ClosingLikeCase{"TagTwice", "</script></script>\r\n", "</script></script>\r\n"},
        ClosingLikeCase{"TextAfterTrailingBlanks", "  </script>  x  \r\n", "  </script>  x\r\n"},
        ClosingLikeCase{"TagCutShort", "</scrip\r\nnext\r\n", "</scrip\r\nnext\r\n"},
        ClosingLikeCase{"TabAfterTag", "</script>\t\r\n", "</script>\t\r\n"},
        ClosingLikeCase{"HeldStartThenConversions", " </ 'a' 50% \\(b\\)\r\n",
                        " </ \"a\" 50%% (b)\r\n"},
        ClosingLikeCase{"HeldStartThenContinuation", "  </scr \\  \r\n", "  </scr ^\r\n"},
        ClosingLikeCase{"TagClosesBody", "a\r\n</script>\r\nafter\r\n", "a\r\n"},
        ClosingLikeCase{"BlanksAroundTagCloseBody", "<x\r\n   </script>   \r\nafter", "<x\r\n"},
        ClosingLikeCase{"CapitalTagClosesBody", "a\r\n</SCRIPT>\rafter", "a\r\n"},
        ClosingLikeCase{"TagWithoutLineEndClosesBody", "a\r\n</script>", "a\r\n"},
        ClosingLikeCase{"FileWithoutCrEndsLinesAtLineFeed", "a \\\n\n </script> \nb", "a ^\r\n\r\n",
                        "<script args=\"0\" name=\"t\">\n"},
        ClosingLikeCase{"LineFeedInAFileWithCrIsText", "a\n</script>\n\r\n", "a\n</script>\n\r\n"},
        ClosingLikeCase{"DeclarationLeavesTheBody",
                        "a\r\n  <PARAM name=\"X\" label=\"x\" type=\"text\" default=\"\"/>\r\nb",
                        "a\r\nb\r\n"},
        ClosingLikeCase{"ParamWithoutBlankIsBody", "<param\r\n", "<param\r\n"},
        ClosingLikeCase{"ParamCutShortIsBody", " <para 'm'\r\n", " <para \"m\"\r\n"},
        ClosingLikeCase{"TabBeforeParamIsBody", "\t<param x\r\n", "\t<param x\r\n"},
        ClosingLikeCase{"ClosingAfterADeclaration", "<param \r\n</script>\r\nb", ""}),
    testing::CaseName());

// ---- Single-picture shorthand ---------------------------------------------------------

TEST(SingleArgShorthand, AddsIndexOnlyWhereMissing) {
    EXPECT_EQ(ApplySingleArgShorthand("$NAME.$EXT $NAME1.$EXT1 $EXT11 $EXT2 $WIDTHx$HEIGHT"),
              "$NAME1.$EXT1 $NAME1.$EXT1 $EXT11 $EXT12 $WIDTH1x$HEIGHT1");
}

TEST(SingleArgShorthand, AppliesToOnePictureScriptsOnly) {
    const char* body = "convert $NAME.$EXT out.png";
    EXPECT_EQ(ReadText(std::string("<script args=\"1\" name=\"a\">\r\n") + body).entry.body,
              "convert $NAME1.$EXT1 out.png\r\n");
    EXPECT_EQ(ReadText(std::string("<script args=\"2\" name=\"a\">\r\n") + body).entry.body,
              "convert $NAME.$EXT out.png\r\n");
}

// ---- Capacities -----------------------------------------------------------------------

TEST(Capacities, BodyIsCutAt4096EvenInsideALine) {
    std::string text = "<script args=\"0\" name=\"long\">\r\n";
    for (int i = 0; i < 500; ++i)
        text += "convert a.png b.png\r\n";
    const Read read = ReadText(text);
    ASSERT_EQ(read.entry.body.size(), kBodyCapacity);
    EXPECT_EQ(read.entry.body.substr(0, 21), "convert a.png b.png\r\n");
    EXPECT_EQ(read.entry.body.substr(4095 - 4095 % 21),
              std::string("convert a.png b.png\r\n").substr(0, 4096 - (4095 - 4095 % 21)));
}

TEST(Capacities, CutComesAfterShorthand) {
    // 4092 characters, then "$EXT": the shorthand makes it "$EXT1", and the cut keeps "$EXT".
    const std::string text = "<script args=\"1\" name=\"s\">\r\n" + std::string(4092, 'a') + "$EXT";
    const Read read = ReadText(text);
    ASSERT_EQ(read.entry.body.size(), kBodyCapacity);
    EXPECT_EQ(read.entry.body.substr(4092), "$EXT");
    const Read shifted =
        ReadText("<script args=\"1\" name=\"s\">\r\n" + std::string(4088, 'a') + "$EXT.$EXT");
    EXPECT_EQ(shifted.entry.body.substr(4088), "$EXT1.$E");
}

TEST(Capacities, NameIsCutAt256) {
    const Read read = ReadText("<script args=\"0\" name=\"" + std::string(300, 'n') + "\">\r\n");
    EXPECT_EQ(read.entry.displayName, std::string(kNameCapacity, 'n'));
}

TEST(TrimBlanks, RemovesBlanksOnlyAtBothEnds) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("   "), "");
}

}  // namespace
}  // namespace quillon

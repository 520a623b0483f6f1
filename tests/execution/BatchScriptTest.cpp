// The text of "script.bat": placeholders, output name, erase list and the names Quillon writes.
#include "execution/BatchScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

std::optional<std::string> Unchanged(std::string_view name) {
    return std::string(name);
}

// 'é' as the Western European ANSI page has it (0xE9) becomes what the US console reads as 'é'.
std::optional<std::string> ToConsolePage(std::string_view name) {
    std::string bytes(name);
    for (char& c : bytes) {
        if (c == '\xE9')
            c = '\x82';
    }
    return bytes;
}

std::optional<std::string> RefusingEAcute(std::string_view name) {
    if (name.find('\xE9') != std::string_view::npos)
        return std::nullopt;
    return std::string(name);
}

TEST(BuildBatch, OnePictureWorkedExample) {
    const BatchPlan plan = BuildBatch(
        "convert $NAME1.$EXT1 -resize $WIDTH1x$HEIGHT1 -quality 80 $NAME1_small.$EXT1\r\n", false,
        {{"C:\\Photos\\beach.jpg", 1024, 768}}, "C:\\Photos\\", Unchanged);
    EXPECT_EQ(plan.text,
              "pushd \"C:\\Photos\\\" & if errorlevel 1 exit /b 1\r\n"
              "convert beach.jpg -resize 1024x768 -quality 80 beach_small.jpg\r\n"
              "\r\n"
              "popd\r\n");
    EXPECT_EQ(plan.outputFile, "C:\\Photos\\beach_small.jpg");
    EXPECT_EQ(plan.unwritableName, "");
}

TEST(BuildBatch, TwoPicturesWorkedExampleErasesOnlyTheTemporaryFile) {
    const BatchPlan plan = BuildBatch(
        "convert $NAME2.$EXT2 -resize $WIDTH1x$HEIGHT1 tmp_logo.png\r\n"
        "composite tmp_logo.png $NAME1.$EXT1 result.png\r\n",
        true, {{"C:\\My Work\\cat.png", 800, 600}, {"C:\\My Work\\logo.png", 120, 90}},
        "C:\\My Work\\", Unchanged);
    EXPECT_EQ(plan.text,
              "pushd \"C:\\My Work\\\" & if errorlevel 1 exit /b 1\r\n"
              "convert logo.png -resize 800x600 tmp_logo.png\r\n"
              "composite tmp_logo.png cat.png result.png\r\n"
              "\r\n"
              "del tmp_logo.png\r\n"
              "\r\n"
              "popd\r\n");
    EXPECT_EQ(plan.outputFile, "C:\\My Work\\result.png");
}

struct LineCase {
    const char* name;
    std::string path;
    std::string body;
    std::string line;  // the body line as the batch carries it
    NameEncoder encode = Unchanged;
    std::string variables = "";  // "NAME=value;" for each variable the run is given
};

class InsertedName : public ::testing::TestWithParam<LineCase> {};

TEST_P(InsertedName, ReachesTheInterpreterAsOneWordThatRunsNothing) {
    const BatchPlan plan = BuildBatch(GetParam().body, false, {{GetParam().path, 10, 20}},
                                      "D:\\In\\", GetParam().encode);
    EXPECT_EQ(plan.text, "pushd \"D:\\In\\\" & if errorlevel 1 exit /b 1\r\n" + GetParam().line +
                             "\r\npopd\r\n");
    std::string variables;
    for (const BatchVariable& variable : plan.variables)
        variables += variable.name + '=' + variable.value + ';';
    EXPECT_EQ(variables, GetParam().variables);
}

INSTANTIATE_TEST_SUITE_P(
    Names, InsertedName,
    ::testing::Values(LineCase{"BlankQuotesTheWholeName", "D:\\In\\my cat.png",
                               "convert $NAME1.$EXT1 o.png", "convert \"my cat.png\" o.png"},
                      LineCase{"BlankNameAloneQuotesItsWholeWord", "D:\\In\\my cat.png",
                               "x $NAME1_s.png", "x \"my cat_s.png\""},
                      LineCase{"AmpersandCannotStartDel", "D:\\In\\a&del x.jpg",
                               "convert $NAME1.$EXT1 o.png", "convert \"a&del x.jpg\" o.png"},
                      LineCase{"CanaryStaysInsideQuotes", "D:\\In\\x&echo CANARY>canary.txt.jpg",
                               "convert $NAME1.$EXT1 o.png",
                               "convert \"x&echo CANARY>canary.txt.jpg\" o.png"},
                      LineCase{"PipeCaretLessQuoted", "D:\\In\\a|b^c<d.jpg",
                               "convert $NAME1.$EXT1 o.png", "convert \"a|b^c<d.jpg\" o.png"},
                      LineCase{"SpecialInExtensionQuoted", "D:\\In\\a.j&g",
                               "convert $NAME1.$EXT1 o.png", "convert \"a.j&g\" o.png"},
                      LineCase{"PercentDoubledNotQuoted", "D:\\In\\100%.jpg",
                               "convert $NAME1.$EXT1 -x 5%% o.png",
                               "convert 100%%.jpg -x 5%% o.png"}),
    testing::CaseName());

// The quotes go round the whole word a name is in, as far as the author's & | < > and never
// round the author's own quotes.
INSTANTIATE_TEST_SUITE_P(
    Words, InsertedName,
    ::testing::Values(LineCase{"InsideALine", "D:\\In\\b c.png", "x $NAME1_a.png -flip o.png",
                               "x \"b c_a.png\" -flip o.png"},
                      LineCase{"AuthorsQuotes", "D:\\In\\a&b c.jpg",
                               "x \"$NAME1.$EXT1\" \"$NAME1\"_s", "x \"a&b c.jpg\" \"a&b c\"_s"},
                      LineCase{"AuthorsRedirection", "D:\\In\\b c.png", "echo $NAME1>>$NAME1.txt",
                               "echo \"b c\">>\"b c.txt\""}),
    testing::CaseName());

// Names the interpreter's code page cannot hold ('é' here) go by variable.
INSTANTIATE_TEST_SUITE_P(
    Variables, InsertedName,
    ::testing::Values(LineCase{"UnreadableNameGoesByVariable", "D:\\In\\caf\xE9.jpg",
                               "convert $NAME1.$EXT1 $NAME1_s.$EXT1",
                               "convert %QUILLON_NAME1%.jpg %QUILLON_NAME1%_s.jpg", RefusingEAcute,
                               "QUILLON_NAME1=caf\xE9;"},
                      LineCase{"VariableValueWithCommandCharactersIsQuoted",
                               "D:\\In\\\xE9 & 5%^!.png", "convert $NAME1.$EXT1 o.png",
                               "convert \"%QUILLON_NAME1%%%%QUILLON_NAME1_2%.png\" o.png",
                               RefusingEAcute, "QUILLON_NAME1=\xE9 & 5;QUILLON_NAME1_2=^!;"}),
    testing::CaseName());

// A picture "b c.png" beside the user's "c_flip.png": the tail of its output's name is no word.
TEST(BuildBatch, ANameWithABlankLeavesNoPieceOfAWordToDelete) {
    const BatchPlan plan = BuildBatch(
        "convert $NAME1.$EXT1 -flip tmp_step.png\r\nconvert tmp_step.png -flip $NAME1_flip.png\r\n",
        true, {{"C:\\P\\b c.png", 1, 1}}, "C:\\P\\", Unchanged);
    EXPECT_EQ(plan.text,
              "pushd \"C:\\P\\\" & if errorlevel 1 exit /b 1\r\n"
              "convert \"b c.png\" -flip tmp_step.png\r\n"
              "convert tmp_step.png -flip \"b c_flip.png\"\r\n"
              "\r\n"
              "del tmp_step.png\r\n"
              "\r\n"
              "popd\r\n");
    EXPECT_EQ(plan.outputFile, "C:\\P\\b c_flip.png");
    // A word made of the name, whole, is an intermediate file of this run.
    EXPECT_NE(BuildBatch("convert $NAME1.$EXT1 tmp_$NAME1.png\r\nconvert tmp_$NAME1.png o.png",
                         true, {{"C:\\P\\b c.png", 1, 1}}, "C:\\P\\", Unchanged)
                  .text.find("\r\ndel \"tmp_b c.png\"\r\n"),
              std::string::npos);
}

TEST(BuildBatch, QuotesAgainstCommandCharactersStayOutOfTheOutputName) {
    EXPECT_EQ(BuildBatch("x $NAME1_s.$EXT1", false, {{"D:\\a&b.jpg", 1, 1}}, "D:\\", Unchanged)
                  .outputFile,
              "D:\\a&b_s.jpg");
}

TEST(BuildBatch, RefusesANameTheAuthorsQuotesOrCaretsWouldLeaveExposed) {
    // Quotes round the whole word would turn the author's own inside out.
    const std::string body = "convert \"in\"$NAME1.$EXT1 o.png";
    EXPECT_EQ(
        BuildBatch(body, false, {{"D:\\a&del x.jpg", 1, 1}}, "D:\\", Unchanged).unwritableName,
        "a&del x.jpg");
    EXPECT_EQ(
        BuildBatch("x ^$NAME1 o.png", false, {{"D:\\a&b", 1, 1}}, "D:\\", Unchanged).unwritableName,
        "a&b");
    // The interpreter reads the escaped quote as a letter, the program as a quote.
    EXPECT_EQ(
        BuildBatch("x ^\"a \"$NAME1.$EXT1", false, {{"D:\\my cat.png", 1, 1}}, "D:\\", Unchanged)
            .unwritableName,
        "my cat.png");
    // A reference shows no command character, but the value it expands to does.
    EXPECT_EQ(
        BuildBatch(body, false, {{"D:\\\xE9&b.jpg", 1, 1}}, "D:\\", RefusingEAcute).unwritableName,
        "\xE9&b.jpg");
    // The interpreter finds no placeholder in a value, so none may hide the value's "&".
    EXPECT_EQ(BuildBatch(body, false, {{"D:\\\xE9$NAME2&b.jpg", 1, 1}, {"D:\\my cat.png", 1, 1}},
                         "D:\\", RefusingEAcute)
                  .unwritableName,
              "\xE9$NAME2&b.jpg");
}

TEST(BuildBatch, FolderIsWrittenWithItsPercentSignsDoubledOrByVariable) {
    const BatchPlan plan = BuildBatch("x y", false, {}, "E:\\100% done\\", Unchanged);
    EXPECT_EQ(plan.text,
              "pushd \"E:\\100%% done\\\" & if errorlevel 1 exit /b 1\r\nx y\r\npopd\r\n");
    EXPECT_EQ(plan.outputFile, "E:\\100% done\\y");
    const BatchPlan accented = BuildBatch("x y", false, {}, "\\\\h\\caf\xE9\\", RefusingEAcute);
    EXPECT_EQ(accented.text,
              "pushd \"%QUILLON_FOLDER%\" & if errorlevel 1 exit /b 1\r\nx y\r\npopd\r\n");
    ASSERT_EQ(accented.variables.size(), 1u);
    EXPECT_EQ(accented.variables[0].value, "\\\\h\\caf\xE9\\");
}

TEST(BuildBatch, AccentedNamesAreWrittenInTheConsolePageAndTheBodyAsWritten) {
    const BatchPlan plan =
        BuildBatch("convert $NAME1.$EXT1 -label \xE9 $NAME1_s.$EXT1", false,
                   {{"C:\\\xE9t\xE9\\caf\xE9.jpg", 1, 1}}, "C:\\\xE9t\xE9\\", ToConsolePage);
    EXPECT_EQ(
        plan.text,
        "pushd \"C:\\\x82t\x82\\\" & if errorlevel 1 exit /b 1\r\nconvert caf\x82.jpg -label \xE9 "
        "caf\x82_s.jpg\r\npopd\r\n");
    EXPECT_EQ(plan.outputFile, "C:\\\xE9t\xE9\\caf\xE9_s.jpg");
}

struct KeepCase {
    const char* name;
    std::string path;
    std::string line;
    NameEncoder encode;
};

class ProtectedFile : public ::testing::TestWithParam<KeepCase> {};

TEST_P(ProtectedFile, IsNeverInTheEraseList) {
    const BatchPlan plan =
        BuildBatch(GetParam().line + "\r\nconvert a.png tmp.png\r\nconvert tmp.png out.png", true,
                   {{GetParam().path, 1, 1}}, "C:\\P\\", GetParam().encode);
    const std::size_t del = plan.text.find("del ");
    ASSERT_NE(del, std::string::npos);
    EXPECT_EQ(plan.text.substr(del), "del tmp.png\r\n\r\npopd\r\n");
}

INSTANTIATE_TEST_SUITE_P(Files, ProtectedFile,
                         ::testing::Values(KeepCase{"FileNamedInAComment", "C:\\P\\photo.jpg",
                                                    ":: the result replaces old.jpg", Unchanged},
                                           KeepCase{"InputInOtherCase", "C:\\P\\photo.jpg",
                                                    "convert $NAME1.$EXT1 PHOTO.JPG", Unchanged},
                                           KeepCase{"InputInSubfolder", "C:\\P\\sub\\photo.jpg",
                                                    "convert x.png SUB\\photo.jpg", Unchanged},
                                           KeepCase{"InputByFullPath", "C:\\Q\\photo.jpg",
                                                    "convert x.png c:\\q\\photo.jpg", Unchanged},
                                           KeepCase{"InputElsewhereByName", "C:\\Q\\photo.jpg",
                                                    "convert x.png photo.jpg", Unchanged},
                                           KeepCase{"AccentedInput", "C:\\P\\caf\xE9.jpg",
                                                    "convert x.png $NAME1.$EXT1", ToConsolePage},
                                           KeepCase{"InputWithPercent", "C:\\P\\100%.jpg",
                                                    "convert x.png $NAME1.$EXT1", Unchanged},
                                           KeepCase{"InputByVariable", "C:\\P\\caf\xE9 x.jpg",
                                                    "convert x.png $NAME1.$EXT1", RefusingEAcute},
                                           KeepCase{"OutputInOtherCase", "C:\\P\\photo.jpg",
                                                    "convert x.png OUT.png", Unchanged}),
                         testing::CaseName());

struct EraseCase {
    const char* name;
    std::string body;
    std::string expected;
};

class EraseLines : public ::testing::TestWithParam<EraseCase> {};

TEST_P(EraseLines, DeleteOnlyWhatTheScriptMade) {
    EXPECT_EQ(EraseList(GetParam().body, {"out.png"}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, EraseLines,
    ::testing::Values(
        EraseCase{"EveryLineInOrder", "a b t1.png\r\n\r\n \t\r\nc t2.png\r\n",
                  "del t1.png\r\ndel t2.png\r\n"},
        EraseCase{"ContinuedLineSkipped", "convert a.png t.png^\r\nx out.png", ""},
        EraseCase{"LineWithoutBlankIsItsWord", "convert a.png ^\r\n  t.png", "del t.png\r\n"},
        EraseCase{"RemarkSkipped", "  REM keep t.png\r\n\t@rem t.png\r\nrem", ""},
        EraseCase{"WordStartingWithRemIsACommand", "remap a.png t.png", "del t.png\r\n"},
        EraseCase{"CommentSkipped", ":: the result replaces photo.jpg", ""},
        EraseCase{"LabelSkipped", ":step t.png", ""},
        EraseCase{"QuotedNameIsOneWord", "x \"my cat_t.png\"\r\nx \"b c\"_t.png",
                  "del \"my cat_t.png\"\r\ndel \"b c_t.png\"\r\n"},
        EraseCase{"QuoteLeftOpenOrNoNameSkipped", "x \"my cat_t.png \r\ny \"\"", ""},
        EraseCase{"QuotedWordWithCommandCharacter", "x \"a&b_t.png\"", "del \"a&b_t.png\"\r\n"},
        EraseCase{"WordWithDelSeparatorsQuoted", "x a,b;c=d.png\r\nx \"c\td.png\"",
                  "del \"a,b;c=d.png\"\r\ndel \"c\td.png\"\r\n"},
        EraseCase{"TabEndsAWord", "x a.png\tt.png", "del t.png\r\n"},
        EraseCase{"WordWithLineBreakSkipped", "x t.p\r\"\ng\"\r\ny a\nb\r\nz t.png",
                  "del t.png\r\n"},
        EraseCase{"WordWithAVariableQuoted", "x %QUILLON_NAME1%_t.png",
                  "del \"%QUILLON_NAME1%_t.png\"\r\n"},
        EraseCase{"OutputInAnyCaseOrQuotes", "x Out.PNG\r\ny \"out.png\"", ""}),
    testing::CaseName());

struct PlaceholderCase {
    const char* name;
    std::string body;
    std::vector<SlotValues> slots;
    std::string expected;
};

class Placeholders : public ::testing::TestWithParam<PlaceholderCase> {};

TEST_P(Placeholders, AreReplacedSlotBySlotInTheirOrder) {
    EXPECT_EQ(ReplacePlaceholders(GetParam().body, GetParam().slots), GetParam().expected);
}

const SlotValues kCat{"cat", "png", "800", "600"};
const SlotValues kLogo{"logo", "gif", "12", "34"};

INSTANTIATE_TEST_SUITE_P(
    Bodies, Placeholders,
    ::testing::Values(
        PlaceholderCase{"AllFourEveryTime",
                        "$NAME1.$EXT1 $WIDTH1x$HEIGHT1 $NAME1",
                        {kCat},
                        "cat.png 800x600 cat"},
        PlaceholderCase{"IndexBeyondCountLeft", "$NAME1 $NAME2 $EXT3", {kCat}, "cat $NAME2 $EXT3"},
        PlaceholderCase{
            "LowerCaseAndBareFormsLeft", "$name1 $NAME $Ext1", {kCat}, "$name1 $NAME $Ext1"},
        PlaceholderCase{"LongerIndexTakesTheShorterOne", "$NAME12", {kCat}, "cat2"},
        PlaceholderCase{"NoPicturesNothingReplaced", "$NAME1.$EXT1", {}, "$NAME1.$EXT1"},
        PlaceholderCase{"LaterPlaceholderInValueReplaced",
                        "$NAME1",
                        {{"a$EXT1$NAME2", "j", "", ""}, kLogo},
                        "ajlogo"},
        PlaceholderCase{"SameOrEarlierPlaceholderInValueKept",
                        "$NAME1 $EXT2",
                        {{"$NAME1", "x", "", ""}, {"l", "$NAME1$EXT2", "", ""}},
                        "$NAME1 $NAME1$EXT2"},
        PlaceholderCase{"LaterWordOfTheSlotReplacedInValue",
                        "$NAME1",
                        {{"$EXT1$HEIGHT1", "$WIDTH1", "7", "8"}},
                        "78"},
        PlaceholderCase{
            "EarlierWordOfTheSlotKeptInValue", "$EXT1", {{"n", "$NAME1", "", ""}}, "$NAME1"}),
    testing::CaseName());

struct SplitCase {
    const char* name;
    std::string path;
    std::string baseName;
    std::string extension;
    bool quoted = false;
};

class PictureNames : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PictureNames, SplitAtTheFileNamesLastDot) {
    const PictureName name = PictureNameOf(GetParam().path);
    EXPECT_EQ(name.baseName, GetParam().baseName);
    EXPECT_EQ(name.extension, GetParam().extension);
    EXPECT_EQ(name.quoted, GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PictureNames,
    ::testing::Values(SplitCase{"Plain", "C:\\a\\beach.jpg", "beach", "jpg"},
                      SplitCase{"TwoDots", "C:\\a\\b.tar.gz", "b.tar", "gz"},
                      SplitCase{"NoDot", "C:\\a.d\\photo", "photo", ""},
                      SplitCase{"TrailingDot", "C:\\a\\photo.", "photo", ""},
                      SplitCase{"NoFolder", "x.png", "x", "png"},
                      SplitCase{"BlankWithoutExtension", "C:\\my photo", "my photo", "", true},
                      SplitCase{"BlankOnlyInExtensionQuotedToo", "C:\\a.b c", "a", "b c", true},
                      SplitCase{"CommandCharacterQuoted", "C:\\a^b.png", "a^b", "png", true}),
    testing::CaseName());

TEST(OutputFileOf, IsTheLastWordOfTheBody) {
    EXPECT_EQ(OutputFileOf("convert a.png b.png \t\r\n\r\n", "C:\\o\\"), "C:\\o\\b.png");
    EXPECT_EQ(OutputFileOf("convert a.png b.png\r\nfinish", "C:\\o\\"), "C:\\o\\b.png\r\nfinish");
    EXPECT_EQ(OutputFileOf(":: x\r\nconvert a b.png", "C:\\o\\"), "C:\\o\\b.png");
}

TEST(OutputFileOf, AQuotedLastNameWithABlankIsOneWord) {
    EXPECT_EQ(OutputFileOf("x \"my out.png\"", "C:\\o\\"), "C:\\o\\my out.png");
    EXPECT_EQ(OutputFileOf("x \"my in.png\" \"my out.png\"\r\n", "C:\\o\\"), "C:\\o\\my out.png");
    EXPECT_EQ(OutputFileOf("x \"my photo_small.jpg", "C:\\o\\"), "C:\\o\\my photo_small.jpg");
    EXPECT_EQ(OutputFileOf("x \"in put.png\" out.png", "C:\\o\\"), "C:\\o\\out.png");
    EXPECT_EQ(OutputFileOf("x \"b c\"_flip.png\tb\" c\".png", "C:\\o\\"), "C:\\o\\b c.png");
}

TEST(OutputFileOf, IsEmptyForOneCommentLineOrNoBlank) {
    EXPECT_EQ(OutputFileOf(":: makes x.png\r\n", "C:\\o\\"), "");
    EXPECT_EQ(OutputFileOf("convert\r\n", "C:\\o\\"), "");
    EXPECT_EQ(OutputFileOf("", "C:\\o\\"), "");
    EXPECT_EQ(OutputFileOf("x \"\"", "C:\\o\\"), "");
}

TEST(BuildBatch, OneCommentLineHasNoOutputAndNoEraseList) {
    const BatchPlan plan = BuildBatch(":: x y.png\r\n", true, {}, "C:\\", Unchanged);
    EXPECT_EQ(plan.outputFile, "");
    EXPECT_EQ(plan.text,
              "pushd \"C:\\\" & if errorlevel 1 exit /b 1\r\n:: x y.png\r\n\r\npopd\r\n");
}

struct PolicyCase {
    const char* name;
    OutputPolicy policy;
    std::vector<BatchPicture> pictures;
    std::optional<std::string> folder;
};

class OutputFolderPolicy : public ::testing::TestWithParam<PolicyCase> {};

TEST_P(OutputFolderPolicy, NamesAFolderOrLeavesTheChoiceToTheUser) {
    const PolicyCase& c = GetParam();
    EXPECT_EQ(PolicyOutputFolder(c.policy, c.pictures, "C:\\Prog\\"), c.folder);
}

constexpr OutputPlace kProgram = OutputPlace::kProgramFolder;
constexpr OutputPlace kPicture = OutputPlace::kFirstPictureFolder;
constexpr OutputPlace kAsk = OutputPlace::kAsk;
const std::vector<BatchPicture> kInMyPics = {{"D:\\My Pics\\a.jpg", 1, 1}, {"E:\\b.jpg", 1, 1}};

INSTANTIATE_TEST_SUITE_P(
    Policies, OutputFolderPolicy,
    ::testing::Values(
        PolicyCase{"NoPicturesProgramFolder", {kProgram, kAsk}, {}, "C:\\Prog\\"},
        PolicyCase{"NoPicturesAsk", {kAsk, kProgram}, {}, std::nullopt},
        PolicyCase{"NoPicturesUnset", {OutputPlace::kAskUnset, kProgram}, {}, std::nullopt},
        PolicyCase{"PictureFolder", {kAsk, kPicture}, kInMyPics, "D:\\My Pics\\"},
        PolicyCase{
            "PictureWithoutFolderAsk", {kProgram, kPicture}, {{"a.jpg", 1, 1}}, std::nullopt},
        PolicyCase{"ProgramFolder", {kAsk, kProgram}, kInMyPics, "C:\\Prog\\"},
        PolicyCase{"AskWithPictures", {kProgram, kAsk}, kInMyPics, std::nullopt},
        PolicyCase{
            "UnsetWithPictures", {kProgram, OutputPlace::kAskUnset}, kInMyPics, std::nullopt}),
    testing::CaseName());

}  // namespace
}  // namespace quillon

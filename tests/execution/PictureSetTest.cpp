// Planning a picture set: which files it takes, where outputs land, what is refused, and
// that each picture's batch runs in its own folder.
#include "execution/PictureSet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {
namespace {

const std::vector<std::string> kTwo = {"C:\\in\\b.jpg", "C:\\in\\a b.JPG"};
const std::vector<std::string> kBesideThem = {"C:\\in\\", "C:\\in\\"};

struct PlanCase {
    const char* name;
    std::string body;
    std::vector<std::string> folders;
    std::vector<BatchPicture> others;
    std::vector<std::string> outputs;  // full paths in picture order; empty when refused
    std::string refusalPart;           // part of the refusal, when refused
};

class PlanSetRule : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanSetRule, GivesEachPictureItsOutputOrRefusesTheSet) {
    const PlanCase& c = GetParam();
    const SetPlan plan = PlanSet(c.body, kTwo, c.folders, c.others, nullptr);
    if (!c.refusalPart.empty()) {
        EXPECT_NE(plan.refusal.find(c.refusalPart), std::string::npos) << plan.refusal;
        return;
    }
    EXPECT_EQ(plan.refusal, "");
    std::vector<std::string> outputs;
    for (const SetPicture& picture : plan.pictures)
        outputs.push_back(picture.outputFolder + picture.outputName);
    EXPECT_EQ(outputs, c.outputs);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, PlanSetRule,
    ::testing::Values(
        PlanCase{"OutputNamedAfterThePicture",
                 "convert $NAME1.$EXT1 -resize 50% $NAME1_web.png",
                 kBesideThem,
                 {},
                 {"C:\\in\\b_web.png", "C:\\in\\a b_web.png"},
                 ""},
        PlanCase{"EachPictureInTheFolderItsPolicyGives",
                 "convert $NAME1.$EXT1 $NAME1.gif",
                 {"C:\\one\\", "D:\\two\\"},
                 {},
                 {"C:\\one\\b.gif", "D:\\two\\a b.gif"},
                 ""},
        PlanCase{"FixedOutputNameIsRefusedNamingTheFile",
                 "convert $NAME1.$EXT1 -resize 50% small.png",
                 kBesideThem,
                 {},
                 {},
                 "Every picture would make C:\\in\\small.png"},
        PlanCase{"SameNameInAnotherCaseIsTheSameFile",
                 "convert $NAME1.$EXT1 out.$EXT1",
                 kBesideThem,
                 {},
                 {},
                 "Both b.jpg and a b.JPG would make C:\\in\\out."},
        PlanCase{"OutputNamedOnlyByTheSizeIsNoFixedName",
                 "convert $NAME1.$EXT1 t$WIDTH1.png",
                 {"C:\\x\\", "C:\\in\\"},
                 {},
                 {"C:\\x\\t1.png", "C:\\in\\t2.png"},
                 ""},
        PlanCase{"OutputOverwritingTheSharedLogoIsRefused",
                 "composite $NAME2.$EXT2 $NAME1.$EXT1 $NAME1_x.png",
                 kBesideThem,
                 {{"C:\\in\\B_x.png", 10, 10}},
                 {},
                 "one of the pictures the script reads"},
        PlanCase{"NoOutputNameIsRefused", "::just a comment", kBesideThem, {}, {}, "no output"}),
    [](const ::testing::TestParamInfo<PlanCase>& param) { return std::string(param.param.name); });

// A re-run over a folder that holds the outputs of the last run, and the logo among them.
TEST(PictureSet, ARerunLeavesOutItsOwnOutputsAndTheLogoAndKnowsWhatExists) {
    const std::vector<std::string> pictures = {"C:\\in\\a.jpg",           "C:\\in\\a_half.jpg",
                                               "C:\\in\\a_half_half.jpg", "C:\\in\\b.jpg",
                                               "C:\\in\\c.jpg",           "C:\\in\\logo.jpg"};
    // Times: a's output is newer than a, c's older than c, b has none.
    const auto lastWrite = [](const std::string& path) -> std::optional<std::int64_t> {
        if (path == "C:\\in\\b_half.jpg")
            return std::nullopt;
        return path == "C:\\in\\c_half.jpg" || path == "C:\\in\\a.jpg" ? 1 : 2;
    };
    SetPlan plan = PlanSet("composite $NAME2.$EXT2 $NAME1.$EXT1 $NAME1_half.$EXT1", pictures,
                           std::vector<std::string>(pictures.size(), "C:\\in\\"),
                           {{"C:\\in\\LOGO.jpg", 1, 1}}, lastWrite);
    ASSERT_EQ(plan.refusal, "");
    EXPECT_EQ(plan.leftOut, 3);
    EXPECT_EQ(ExistingOutputs(plan), 2);
    SkipExisting(plan);
    EXPECT_EQ(plan.skipped, 1);
    std::vector<std::string> run;
    for (const SetPicture& picture : plan.pictures)
        run.push_back(picture.path);
    EXPECT_EQ(run, (std::vector<std::string>{"C:\\in\\b.jpg", "C:\\in\\c.jpg"}));
}

struct ListCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> paths;
};

class ListFile : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListFile, GivesOnePathALineReadAgainstItsFolder) {
    EXPECT_EQ(PathsFromList(GetParam().bytes, "D:\\lists\\"), GetParam().paths);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ListFile,
    ::testing::Values(
        ListCase{"Utf8WithBlanksQuotesCommentsAndRelativeLines",
                 "C:\\a.jpg\r\n\r\n  \"C:\\b c.png\"  \r\n# not this\r\nsub\\d.gif\n\\\\srv\\e.png",
                 {"C:\\a.jpg", "C:\\b c.png", "D:\\lists\\sub\\d.gif", "\\\\srv\\e.png"}},
        ListCase{"Utf8ByteOrderMark",
                 "\xEF\xBB\xBF"
                 "caf\xC3\xA9.jpg\r\n",
                 {"D:\\lists\\caf\xC3\xA9"
                  ".jpg"}},
        ListCase{"Utf16LittleEndianWithAPairAndALoneHalf",
                 std::string("\xFF\xFE"
                             "x\0:\0\\\0\xE5"
                             "e=\xD8\x00\xDE\x00\xD8\r\0\n\0",
                             20),
                 {"x:\\\xE6\x97\xA5\xF0\x9F\x98\x80"
                  "?"}},
        ListCase{
            "Utf16BigEndian", std::string("\xFE\xFF\0a\0.\0p\0n\0g", 12), {"D:\\lists\\a.png"}}),
    [](const ::testing::TestParamInfo<ListCase>& param) { return std::string(param.param.name); });

TEST(PictureSet, AJobRunsInItsOwnFolderFindingThePicturesThereAndErasingNoneOfThem) {
    const BatchPlan batch = JobBatch(
        "convert $NAME1.$EXT1 $NAME2.$EXT2 -composite tmp_logo.png\r\n"
        "convert tmp_logo.png $NAME1_w.png",
        true, {"C:\\in\\p.jpg", 3, 2}, {{"C:\\logos\\logo.png", 1, 1}}, "C:\\in\\~job\\", nullptr);
    EXPECT_EQ(batch.text,
              "pushd \"C:\\in\\~job\\\" & if errorlevel 1 exit /b 1\r\n"
              "convert p.jpg logo.png -composite tmp_logo.png\r\n"
              "convert tmp_logo.png p_w.png\r\n"
              "del tmp_logo.png\r\n\r\n"
              "popd\r\n");
    EXPECT_EQ(batch.outputFile, "C:\\in\\~job\\p_w.png");
    EXPECT_EQ(JobFolderOwner(JobFolderName(4021, 3)), 4021u);
    EXPECT_EQ(JobFolderOwner("~quillon-12-x.tmp"), std::nullopt);
    EXPECT_EQ(JobInputs({"C:\\in\\p.jpg", 3, 2},
                        {{"C:\\logos\\logo.png", 1, 1}, {"C:\\other\\P.JPG", 1, 1}}),
              (std::vector<std::string>{"C:\\in\\p.jpg", "C:\\logos\\logo.png"}));
}

}  // namespace
}  // namespace quillon

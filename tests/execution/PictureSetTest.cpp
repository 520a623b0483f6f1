// Planning a picture set: which files it takes, where outputs land, what is refused, and
// that each picture's batch runs in its own folder.
#include "execution/PictureSet.h"

#include <gtest/gtest.h>

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
    const SetPlan plan = PlanSet(c.body, kTwo, c.folders, c.others);
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
                 "would make C:\\in\\small.png"},
        PlanCase{"SameNameInAnotherCaseIsTheSameFile",
                 "convert $NAME1.$EXT1 out.$EXT1",
                 kBesideThem,
                 {},
                 {},
                 "Both b.jpg and a b.JPG would make C:\\in\\out."},
        PlanCase{"OutputOverwritingAnotherPictureOfTheSetIsRefused",
                 "convert $NAME1.$EXT1 b.jpg",
                 {"C:\\x\\", "C:\\in\\"},
                 {},
                 {},
                 "one of the pictures the script reads"},
        PlanCase{"OutputOverwritingTheSharedLogoIsRefused",
                 "composite $NAME2.$EXT2 $NAME1.$EXT1 $NAME2.$EXT2",
                 kBesideThem,
                 {{"C:\\in\\logo.png", 10, 10}},
                 {},
                 "one of the pictures the script reads"},
        PlanCase{"NoOutputNameIsRefused", "::just a comment", kBesideThem, {}, {}, "no output"}),
    [](const ::testing::TestParamInfo<PlanCase>& param) { return std::string(param.param.name); });

TEST(PictureSet, FolderTakesItsPicturesInNameOrderAndNothingElse) {
    EXPECT_EQ(
        SetFromFolder("C:\\f\\", {"b.TIFF", "notes.txt", "A.jpeg", "c.gif", ".png", "d.bmp",
                                  "e.tif", "f.png", "g.JPG", "h.webp", "noext"}),
        (std::vector<std::string>{"C:\\f\\A.jpeg", "C:\\f\\b.TIFF", "C:\\f\\c.gif", "C:\\f\\d.bmp",
                                  "C:\\f\\e.tif", "C:\\f\\f.png", "C:\\f\\g.JPG"}));
}

TEST(PictureSet, ListTakesOnePathALineWithoutBlanksQuotesOrEmptyLines) {
    EXPECT_EQ(SetFromList("C:\\a.jpg\r\n\r\n  \"C:\\b c.png\"  \r\nd.gif"),
              (std::vector<std::string>{"C:\\a.jpg", "C:\\b c.png", "d.gif"}));
}

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
    EXPECT_EQ(JobInputs({"C:\\in\\p.jpg", 3, 2},
                        {{"C:\\logos\\logo.png", 1, 1}, {"C:\\other\\P.JPG", 1, 1}}),
              (std::vector<std::string>{"C:\\in\\p.jpg", "C:\\logos\\logo.png"}));
}

}  // namespace
}  // namespace quillon

#include "catalogue/NewScript.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/Printing.h"

namespace quillon {
namespace {

using testing::operator<<;

TEST(NewScriptTemplate, IsTheFourLinesOfASmallestValidScript) {
    EXPECT_EQ(std::string(kNewScriptTemplate),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
              "<script args=\"0\" name=\"Short description of script\" erase_temp=\"false\">\r\n"
              "#Remove this line and replace it with the IMv6 script\r\n"
              "</script>\r\n");
    ScriptCatalogue catalogue;
    catalogue.At(1).fileName = "NewScript.xml";
    ScriptFolder folder;
    folder.path = "C:\\Q\\";
    folder.open = [](const std::string&) -> std::unique_ptr<ByteSource> {
        return std::make_unique<MemoryByteSource>(kNewScriptTemplate);
    };
    std::string log;
    EXPECT_EQ(ValidateScript(catalogue, log, folder, 1), 0);
    EXPECT_EQ(catalogue.At(1).displayName, "Short description of script");
    EXPECT_EQ(catalogue.At(1).eraseTemp, 0);
}

struct PlaceCase {
    const char* name;
    std::vector<const char*> fileNames;  // the catalogue's positions; "" is blank
    int listItems;
    const char* newName;
    int position;
    bool newItem;
    int size;
};

class NewScriptPosition : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(NewScriptPosition, IsThePositionOfItsListItem) {
    const PlaceCase& c = GetParam();
    ScriptCatalogue catalogue;
    catalogue.Reset(static_cast<int>(c.fileNames.size()));
    for (std::size_t i = 0; i < c.fileNames.size(); ++i) {
        catalogue.At(static_cast<int>(i) + 1).fileName = c.fileNames[i];
        catalogue.At(static_cast<int>(i) + 1).displayName = c.fileNames[i];
    }
    const NewScriptPlace place = PlaceNewScript(catalogue, c.listItems, c.newName);
    EXPECT_EQ(place.position, c.position);
    EXPECT_EQ(place.newItem, c.newItem);
    ASSERT_EQ(catalogue.Size(), c.size);
    const ScriptEntry& entry = catalogue.At(c.position);
    EXPECT_EQ(entry.fileName, c.newName);
    EXPECT_EQ(entry.displayName, "New script (under creation)");
    EXPECT_EQ(entry.argCount, 0);
    EXPECT_EQ(entry.body, "");
    EXPECT_EQ(entry.eraseTemp, 0);
    for (int k = 1; k <= catalogue.Size(); ++k) {
        if (k != c.position && k <= static_cast<int>(c.fileNames.size())) {
            EXPECT_EQ(catalogue.At(k).fileName, c.fileNames[static_cast<std::size_t>(k - 1)]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewScriptPosition,
    ::testing::Values(
        PlaceCase{"GrowsPastTheLastScript", {"a.xml", "b.xml"}, 2, "c.xml", 3, true, 3},
        PlaceCase{"FillsTheBlankLeftByARemoval", {"b.xml", ""}, 1, "c.xml", 2, true, 2},
        PlaceCase{"FillsTheFirstOfTwoBlanks", {"c.xml", "", ""}, 1, "n.xml", 2, true, 3},
        PlaceCase{"FollowsTheMarker", {""}, 1, "n.xml", 2, true, 2},
        PlaceCase{"FollowsABlankItemOfTheScan", {"a.xml", ""}, 2, "n.xml", 3, true, 3},
        PlaceCase{"AnEmptyListTakesPositionOne", {""}, 0, "n.xml", 1, true, 1},
        PlaceCase{"AListedFileKeepsItsItem", {"a.xml", "b.xml"}, 2, "a.xml", 1, false, 2},
        PlaceCase{
            "AListedFileTypedInCapitalsKeepsItsItem", {"a.xml", "b.xml"}, 2, "B.XML", 2, false, 2}),
    testing::CaseName());

struct FolderCase {
    const char* name;
    const char* path;
    bool inside;
};

class ChosenPath : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ChosenPath, LiesInTheProgramFolderOnlyWhenItsFolderIsTheSameText) {
    EXPECT_EQ(LiesInFolder(GetParam().path, "C:\\Apps\\Quillon\\"), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChosenPath,
    ::testing::Values(FolderCase{"Directly", "C:\\Apps\\Quillon\\new.xml", true},
                      FolderCase{"InASubfolder", "C:\\Apps\\Quillon\\sub\\new.xml", false},
                      FolderCase{"InTheParent", "C:\\Apps\\new.xml", false},
                      FolderCase{"OtherLetterCase", "C:\\apps\\Quillon\\new.xml", false},
                      FolderCase{"APrefixOfAnotherFolder", "C:\\Apps\\QuillonX\\new.xml", false},
                      FolderCase{"NoFolder", "new.xml", false}),
    testing::CaseName());

TEST(NewScriptTexts, NameTheFileTheyAreAbout) {
    EXPECT_EQ(FileNameOf("C:\\a b\\New Script.xml"), "New Script.xml");
    EXPECT_EQ(FileNameOf("plain.xml"), "plain.xml");
    EXPECT_EQ(MoveToProgramFolderQuestion("C:\\Q\\", "n.xml"),
              "Only xml files saved in the program folder can be listed.\r\rDo you want we move "
              "your script to C:\\Q\\n.xml ?");
    EXPECT_EQ(UnwritableScriptText("C:\\Q\\n.xml"),
              "The new script could not be written:\rC:\\Q\\n.xml\rCreation aborted");
}

}  // namespace
}  // namespace quillon

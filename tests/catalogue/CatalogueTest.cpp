#include "catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <map>

#include "support/Printing.h"

namespace quillon {
namespace {

// A folder held in memory: names in listing order, and their bytes.
struct FakeFolder {
    std::vector<std::pair<std::string, std::string>> files;
    std::map<std::string, std::string> stamps;  // none: no file has a stamp
    mutable int opened = 0;

    ScriptFolder Folder() const {
        ScriptFolder folder;
        folder.path = "D:\\Apps\\";
        folder.listScripts = [this] {
            std::vector<std::string> names;
            for (const auto& file : files)
                names.push_back(file.first);
            return names;
        };
        folder.stampOf = [this](const std::string& name) {
            return stamps.count(name) != 0 ? stamps.at(name) : std::string();
        };
        folder.open = [this](const std::string& name) -> std::unique_ptr<ByteSource> {
            ++opened;
            for (const auto& file : files) {
                if (file.first == name)
                    return std::make_unique<MemoryByteSource>(file.second);
            }
            return nullptr;
        };
        return folder;
    }
};

std::string Valid(const std::string& name, int args, bool erase = false) {
    return "<?xml version=\"1.0\"?>\r\n<script args=\"" + std::to_string(args) + "\" name=\"" +
           name + "\"" + (erase ? " erase_temp=\"true\"" : "") + ">\r\nconvert x\r\n</script>\r\n";
}

struct Scan {
    ScriptCatalogue catalogue;
    std::string log;
};

Scan ScanOf(const FakeFolder& fake) {
    Scan scan;
    scan.log = "old log\r\n";
    ScanCatalogue(scan.catalogue, scan.log, fake.Folder());
    return scan;
}

TEST(CatalogueScan, EmptyFolderOffersTheMarkerOnly) {
    const Scan scan = ScanOf(FakeFolder{});
    ASSERT_EQ(scan.catalogue.Size(), 1);
    EXPECT_EQ(scan.catalogue.At(1).displayName, kNoScriptMarker);
    EXPECT_EQ(scan.catalogue.At(1).fileName, "");
    EXPECT_EQ(scan.log,
              "Program initial scan: looking for all .xml in D:\\Apps\\\r\nNo xml found!\r\n\r\n");
}

TEST(CatalogueScan, LogsLikeTheWorkedExample) {
    FakeFolder fake;
    fake.files = {{"sepia.xml", Valid("Sepia", 1, true)},
                  {"broken.xml", "<script name=\"x\">\r\n"}};
    const Scan scan = ScanOf(fake);
    EXPECT_EQ(scan.log,
              "Program initial scan: looking for all .xml in D:\\Apps\\\r\n"
              "Found a total of 2 xml. Analysis started...\r\n"
              "\r\n"
              "Extracting info from xml #2 - \"broken.xml\"\r\n"
              "No tag parameter <script ARGS=\"\"> found!\r\n"
              "--> Invalid xml. Not listing it in the drop-down menu\r\n"
              "\r\n"
              "Extracting info from xml #1 - \"sepia.xml\"\r\n"
              "Found correct tag <script ...> with \"erase_temp\" option activated\r\n"
              "Description: \"Sepia\"\r\n"
              "This script takes 1 input pic(s) as parameter\r\n"
              "\r\n");
    ASSERT_EQ(scan.catalogue.Size(), 2);
    EXPECT_EQ(scan.catalogue.At(1).fileName, "sepia.xml");
    EXPECT_EQ(scan.catalogue.At(2).fileName, "");
    EXPECT_EQ(scan.catalogue.At(2).displayName, "");
}

TEST(CatalogueScan, OneInvalidFileLeavesTheMarker) {
    FakeFolder fake;
    fake.files = {{"a.xml", "nothing here"}};
    const Scan scan = ScanOf(fake);
    ASSERT_EQ(scan.catalogue.Size(), 1);
    EXPECT_EQ(scan.catalogue.At(1).displayName, kNoScriptMarker);
    EXPECT_NE(scan.log.find("No tag <SCRIPT ...> found!\r\n"), std::string::npos);
}

TEST(CatalogueScan, TwoInvalidFilesGiveTwoEmptyItemsAndNoMarker) {
    FakeFolder fake;
    fake.files = {{"a.xml", "x"}, {"b.xml", "<script args=\"1\">"}};
    const Scan scan = ScanOf(fake);
    EXPECT_EQ(CatalogueListItems(scan.catalogue), (std::vector<std::string>{"", ""}));
}

TEST(CatalogueScan, InvalidMiddleFilePacksValidOnesInListingOrder) {
    FakeFolder fake;
    fake.files = {{"1.xml", Valid("First", 0)}, {"2.xml", "bad"}, {"3.xml", Valid("Third", 2)}};
    const Scan scan = ScanOf(fake);
    EXPECT_EQ(CatalogueListItems(scan.catalogue), (std::vector<std::string>{"First", "Third", ""}));
    const auto p3 = scan.log.find("xml #3"), p2 = scan.log.find("xml #2"),
               p1 = scan.log.find("xml #1");
    EXPECT_TRUE(p3 < p2 && p2 < p1);
}

TEST(CatalogueScan, VanishedFileIsLoggedAndDroppedLikeOneWithoutTag) {
    FakeFolder fake;
    fake.files = {{"here.xml", Valid("Here", 0)}};
    ScriptFolder folder = fake.Folder();
    folder.listScripts = [] { return std::vector<std::string>{"gone.xml", "here.xml"}; };
    ScriptCatalogue catalogue;
    std::string log;
    ScanCatalogue(catalogue, log, folder);
    EXPECT_EQ(CatalogueListItems(catalogue), (std::vector<std::string>{"Here", ""}));
    EXPECT_NE(log.find("\"gone.xml\"\r\nNo tag <SCRIPT ...> found!"), std::string::npos);
}

TEST(CatalogueScan, CountStoredAs255IsLoggedCorrectThenDropped) {
    FakeFolder fake;
    fake.files = {{"neg.xml", Valid("Negative", -1)}};
    const Scan scan = ScanOf(fake);
    EXPECT_NE(scan.log.find("Found correct tag <script ...>\r\nDescription: \"Negative\"\r\n"
                            "This script takes 255 input pic(s) as parameter"),
              std::string::npos);
    EXPECT_EQ(scan.catalogue.At(1).displayName, kNoScriptMarker);
}

TEST(CatalogueScan, DisplayNameIsTrimmedInLogAndList) {
    FakeFolder fake;
    fake.files = {{"a.xml", Valid("  Padded  ", 0)}};
    const Scan scan = ScanOf(fake);
    EXPECT_NE(scan.log.find("Description: \"Padded\""), std::string::npos);
    EXPECT_EQ(CatalogueListItems(scan.catalogue), (std::vector<std::string>{"Padded"}));
}

TEST(CatalogueScan, ABodyLongerThanKeptIsLoggedAsCut) {
    FakeFolder fake;
    fake.files = {{"short.xml", Valid("Short", 0)},
                  {"long.xml", "<script args=\"0\" name=\"Long\">\r\n" +
                                   std::string(kBodyCapacity, 'x') + "\r\nconvert last\r\n"}};
    const Scan scan = ScanOf(fake);
    EXPECT_NE(scan.log.find("This script takes 0 input pic(s) as parameter\r\nWarning: the script "
                            "is longer than 4096 characters; everything after that is left out "
                            "and will not run\r\n\r\nExtracting info from xml #1"),
              std::string::npos);
    EXPECT_EQ(scan.log.find("Warning", scan.log.find("xml #1")), std::string::npos);
    EXPECT_EQ(scan.catalogue.At(2).body.size(), 4096u);
}

// A scan through a cache kept as bytes, as a start of the program does.
Scan CachedScanOf(const FakeFolder& fake, std::string& kept, const std::string& path) {
    Scan scan;
    ScriptCache cache = ScriptCache::FromBytes(kept, path);
    ScanCatalogue(scan.catalogue, scan.log, fake.Folder(), &cache);
    kept = cache.ToBytes(path);
    return scan;
}

TEST(CatalogueScan, ACacheSparesReadingUnchangedFilesAndChangesNothingElse) {
    FakeFolder fake;
    // d.xml's settings and e.xml's broken one show in the log, from the cache as from the file.
    const std::string tag = "<script args=\"1\" name=\"D\">\r\n<param name=\"X\" label=\"x\" ";
    fake.files = {
        {"a.xml", Valid("A", 1, true)},
        {"b.xml", "x"},
        {"c.xml", Valid("C", 2)},
        {"d.xml", tag + "type=\"number\" min=\"0\" max=\"9\" default=\"1\"/>\r\nx $X\r\n"},
        {"e.xml", tag + "type=\"number\" min=\"0\" max=\"9\" default=\"10\"/>\r\n"}};
    fake.stamps = {{"a.xml", "1"}, {"b.xml", "2"}, {"c.xml", "3"}, {"d.xml", "4"}, {"e.xml", "5"}};
    const Scan plain = ScanOf(fake);
    std::string kept;
    const auto expectPlain = [&](const Scan& scan, int opened) {
        EXPECT_EQ(fake.opened, opened);
        EXPECT_EQ(scan.log, plain.log);
        EXPECT_EQ(CatalogueListItems(scan.catalogue), CatalogueListItems(plain.catalogue));
        EXPECT_EQ(scan.catalogue.At(2).body, plain.catalogue.At(2).body);
        fake.opened = 0;
    };
    EXPECT_NE(plain.log.find("Settings: $X\r\n"), std::string::npos);
    EXPECT_NE(plain.log.find("Bad setting <param NAME=\"X\">: default 10 is outside 0..9\r\n"),
              std::string::npos);
    fake.opened = 0;
    expectPlain(CachedScanOf(fake, kept, "D:\\Apps\\"), 5);
    expectPlain(CachedScanOf(fake, kept, "D:\\Apps\\"), 0);
    std::string damaged = kept;
    damaged[damaged.size() / 2] ^= 1;  // a stray byte, or a write torn by another start
    expectPlain(CachedScanOf(fake, damaged, "D:\\Apps\\"), 5);
    std::string elsewhere = kept;
    expectPlain(CachedScanOf(fake, elsewhere, "E:\\Other\\"), 5);
    fake.files[2].second = Valid("C again", 1);
    fake.stamps["c.xml"] = "4";
    const Scan changed = CachedScanOf(fake, kept, "D:\\Apps\\");
    EXPECT_EQ(fake.opened, 1);
    EXPECT_EQ(CatalogueListItems(changed.catalogue),
              (std::vector<std::string>{"A", "C again", "D", "", ""}));
}

TEST(CatalogueScan, ACacheKeptBeforeLineFeedFilesWereReadIsReadAgain) {
    FakeFolder fake;
    fake.files = {{"lf.xml", "<script args=\"0\" name=\"LF\">\nconvert x\n"}};
    fake.stamps = {{"lf.xml", "1"}};
    // What the earlier reading kept for the same file: one long tag line, an empty body.
    std::string kept = "Quillon script cache 1\n8:D:\\Apps\\6:lf.xml1:11:01:01:02:LF0:1:01:0";
    kept += Fingerprint(kept);
    EXPECT_EQ(CachedScanOf(fake, kept, "D:\\Apps\\").catalogue.At(1).body, "convert x\r\n");
}

TEST(ValidateScript, AppendsOneBlockWithoutScanLines) {
    FakeFolder fake;
    fake.files = {{"a.xml", Valid("A", 0)}, {"b.xml", Valid("B", 3)}};
    Scan scan = ScanOf(fake);
    const std::string before = scan.log;
    EXPECT_EQ(ValidateScript(scan.catalogue, scan.log, fake.Folder(), 2), 3);
    EXPECT_EQ(scan.log.substr(before.size()),
              "Extracting info from xml #2 - \"b.xml\"\r\nFound correct tag <script ...>\r\n"
              "Description: \"B\"\r\nThis script takes 3 input pic(s) as parameter\r\n\r\n");
}

// A folder changed while the program runs, where "a.xml" (one picture, named A) was chosen.
struct RescanCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> after;
    bool changed;
    std::vector<std::string> items;  // the list after the rescan
    int chosen;                      // where a.xml stands then; 0 = gone
};

class FolderChangedOnDisk : public ::testing::TestWithParam<RescanCase> {};
using testing::operator<<;

TEST_P(FolderChangedOnDisk, ReplacesTheCatalogueOnlyWhenItsScriptsChangedAndFindsTheChosenOne) {
    FakeFolder fake;
    fake.files = {{"a.xml", Valid("A", 1)}, {"b.xml", Valid("B", 0)}};
    Scan scan = ScanOf(fake);
    scan.log = "old log\r\n";
    fake.files = GetParam().after;
    EXPECT_EQ(RescanCatalogue(scan.catalogue, scan.log, fake.Folder()), GetParam().changed);
    EXPECT_EQ(CatalogueListItems(scan.catalogue), GetParam().items);
    EXPECT_EQ(PositionOfFile(scan.catalogue, "a.xml"), GetParam().chosen);
    const std::string log = GetParam().changed ? "old log\r\nScripts changed on disk: looking "
                                                 "again for all .xml in D:\\Apps\\\r\n"
                                               : "old log\r\n";
    EXPECT_EQ(scan.log.substr(0, log.size()), log);
    EXPECT_EQ(scan.log.size() > log.size(), GetParam().changed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderChangedOnDisk,
    ::testing::Values(
        RescanCase{"NothingThatCounts",
                   {{"a.xml", Valid("A", 1)}, {"c.xml", "no script"}, {"b.xml", Valid("B", 0)}},
                   false,
                   {"A", "B"},
                   1},
        RescanCase{"ASettingDeclared",
                   {{"a.xml",
                     "<script args=\"1\" name=\"A\">\r\n<param name=\"X\" label=\"x\" "
                     "type=\"text\" default=\"\"/>\r\nconvert x\r\n</script>"},
                    {"b.xml", Valid("B", 0)}},
                   true,
                   {"A", "B"},
                   1},
        RescanCase{"ABodyEdited",
                   {{"a.xml", "<script args=\"1\" name=\"A\">\r\nconvert y\r\n</script>"},
                    {"b.xml", Valid("B", 0)}},
                   true,
                   {"A", "B"},
                   1},
        RescanCase{"AFileAddedBefore",
                   {{"0.xml", Valid("New", 2)}, {"a.xml", Valid("A", 1)}, {"b.xml", Valid("B", 0)}},
                   true,
                   {"New", "A", "B"},
                   2},
        RescanCase{"TheChosenRenamed",
                   {{"a.xml", Valid("A2", 3)}, {"b.xml", Valid("B", 0)}},
                   true,
                   {"A2", "B"},
                   1},
        RescanCase{"TheChosenInCapitals",
                   {{"b.xml", Valid("B", 0)}, {"A.XML", Valid("A", 1)}},
                   true,
                   {"B", "A"},
                   2},
        RescanCase{"TheChosenDeleted", {{"b.xml", Valid("B", 0)}}, true, {"B"}, 0},
        RescanCase{
            "TheChosenBroken", {{"a.xml", "no tag"}, {"b.xml", Valid("B", 0)}}, true, {"B", ""}, 0},
        RescanCase{"NothingLeft", {}, true, {kNoScriptMarker}, 0}),
    testing::CaseName());

TEST(RemoveCatalogueEntry, ShiftsLaterEntriesUpAndBlanksTheLast) {
    ScriptCatalogue catalogue;
    catalogue.Reset(3);
    for (int k = 1; k <= 3; ++k) {
        catalogue.At(k).fileName = std::to_string(k);
        catalogue.At(k).argCount = static_cast<std::uint8_t>(k);
        catalogue.At(k).eraseTemp = 1;
    }
    RemoveCatalogueEntry(catalogue, 1);
    ASSERT_EQ(catalogue.Size(), 3);
    EXPECT_EQ(catalogue.At(1).fileName, "2");
    EXPECT_EQ(catalogue.At(2).fileName, "3");
    EXPECT_EQ(catalogue.At(3).fileName, "");
    EXPECT_EQ(catalogue.At(3).argCount, 0);
    EXPECT_EQ(catalogue.At(3).eraseTemp, 0);
    RemoveCatalogueEntry(catalogue, 0);  // out of range: nothing happens
    RemoveCatalogueEntry(catalogue, 4);
    EXPECT_EQ(catalogue.At(1).fileName, "2");
}

TEST(WithOneTrailingSeparator, AddsOrCollapsesSeparators) {
    EXPECT_EQ(WithOneTrailingSeparator("C:\\a", '\\'), "C:\\a\\");
    EXPECT_EQ(WithOneTrailingSeparator("C:\\a\\\\\\", '\\'), "C:\\a\\");
    EXPECT_EQ(WithOneTrailingSeparator("/", '/'), "/");
}

}  // namespace
}  // namespace quillon

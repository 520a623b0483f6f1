// The scan against real files in a real folder (native build).
#include "catalogue/ScriptFolderAccess.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"

namespace quillon {
namespace {

using testing::TempFolder;

const char* kValid = "<script args=\"0\" name=\"Plain\">\r\nconvert logo: a.png\r\n</script>\r\n";

TEST(ScriptFolderOnDisk, ListsXmlInAnyCaseSkipsHiddenFoldersAndOtherExtensions) {
    TempFolder folder;
    folder.Write("b.XML", kValid);
    folder.Write("a.xml", kValid);
    folder.Write(".hidden.xml", kValid);
    folder.Write("notes.xmlx", kValid);
    folder.Write("readme.txt", kValid);
    std::filesystem::create_directory(folder.path() / "dir.xml");
    const ScriptFolder scripts = OpenScriptFolder(folder.WithSeparator());
    EXPECT_EQ(scripts.listScripts(), (std::vector<std::string>{"a.xml", "b.XML"}));
}

TEST(ScriptFolderOnDisk, FileThatVanishesBeforeReadingIsDropped) {
    TempFolder folder;
    folder.Write("a.xml", kValid);
    folder.Write("b.xml", kValid);
    ScriptFolder scripts = OpenScriptFolder(folder.WithSeparator());
    const auto list = scripts.listScripts;
    scripts.listScripts = [&] {
        auto names = list();
        std::filesystem::remove(folder.path() / "a.xml");
        return names;
    };
    ScriptCatalogue catalogue;
    std::string log;
    ScanCatalogue(catalogue, log, scripts);
    EXPECT_EQ(CatalogueListItems(catalogue), (std::vector<std::string>{"Plain", ""}));
    EXPECT_NE(log.find("\"a.xml\"\r\nNo tag <SCRIPT ...> found!"), std::string::npos);
}

TEST(ScriptFolderOnDisk, ResolveFolderGivesFullPathWithOneSeparator) {
    TempFolder folder;
    const auto resolved = ResolveFolder(folder.path().string() + "///");
    ASSERT_TRUE(resolved.has_value());
    EXPECT_EQ(*resolved, folder.WithSeparator());
    EXPECT_FALSE(ResolveFolder((folder.path() / "missing").string()).has_value());
    EXPECT_FALSE(ResolveFolder(folder.Write("file.xml", kValid).string()).has_value());
}

}  // namespace
}  // namespace quillon

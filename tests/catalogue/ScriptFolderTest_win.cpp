// The scan against real files in a real folder, through FindFirstFileW (run under Wine).
#include "catalogue/ScriptFolderAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <windows.h>

#include "base/Handles_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

using testing::TempFolder;

const char* kValid = "<script args=\"0\" name=\"Plain\">\r\nconvert logo: a.png\r\n</script>\r\n";

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ScriptFolderOnDisk, ListsXmlInAnyCaseAndSkipsHiddenSystemFoldersAndOtherExtensions) {
    TempFolder folder;
    folder.Write("b.XML", kValid);
    folder.Write("a.xml", kValid);
    ::SetFileAttributesW(folder.Write("hidden.xml", kValid).c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(folder.Write("system.xml", kValid).c_str(), FILE_ATTRIBUTE_SYSTEM);
    folder.Write("notes.xmlx", kValid);
    folder.Write("readme.txt", kValid);
    std::filesystem::create_directory(folder.path() / "dir.xml");
    const ScriptFolder scripts = OpenScriptFolder(folder.WithSeparator());
    EXPECT_EQ(Sorted(scripts.listScripts()), (std::vector<std::string>{"a.xml", "b.XML"}));
}

TEST(ScriptFolderOnDisk, FileThatCannotBeReadIsLoggedAndDropped) {
    TempFolder folder;
    const auto locked = folder.Write("locked.xml", kValid);
    // Held open without sharing, as an editor or a virus scanner might.
    UniqueHandle hold(::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hold);
    ScriptCatalogue catalogue;
    std::string log;
    ScanCatalogue(catalogue, log, OpenScriptFolder(folder.WithSeparator()));
    EXPECT_EQ(catalogue.At(1).displayName, kNoScriptMarker);
    EXPECT_NE(log.find("\"locked.xml\"\r\nNo tag <SCRIPT ...> found!"), std::string::npos);
}

TEST(ScriptFolderOnDisk, FileThatVanishesBeforeReadingIsDropped) {
    TempFolder folder;
    folder.Write("a.xml", kValid);
    folder.Write("b.xml", kValid);
    ScriptFolder scripts = OpenScriptFolder(folder.WithSeparator());
    const auto list = scripts.listScripts;
    std::string removed;
    scripts.listScripts = [&] {
        auto names = list();
        removed = names.front();
        std::filesystem::remove(folder.path() / removed);
        return names;
    };
    ScriptCatalogue catalogue;
    std::string log;
    ScanCatalogue(catalogue, log, scripts);
    EXPECT_EQ(CatalogueListItems(catalogue), (std::vector<std::string>{"Plain", ""}));
    EXPECT_NE(log.find("\"" + removed + "\"\r\nNo tag <SCRIPT ...> found!"), std::string::npos);
}

TEST(ScriptFolderOnDisk, ResolveFolderGivesFullPathWithOneBackslash) {
    TempFolder folder;
    const auto resolved = ResolveFolder(folder.path().string() + "\\\\\\");
    ASSERT_TRUE(resolved.has_value());
    EXPECT_EQ(*resolved, folder.WithSeparator());
    EXPECT_FALSE(ResolveFolder((folder.path() / "missing").string()).has_value());
}

}  // namespace
}  // namespace quillon

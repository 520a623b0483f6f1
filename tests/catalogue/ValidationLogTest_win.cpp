// "Xml_Log.txt": the validation log written into a folder for the editor to open.
#include "catalogue/ValidationLog_win.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"

namespace quillon {
namespace {

class ValidationLogFile : public ::testing::Test {
  protected:
    std::string Write(const std::string& log) {
        return WriteValidationLog(folder_.WithSeparator(), log);
    }
    std::string Written() const { return testing::ReadBytes(folder_.path() / "Xml_Log.txt"); }

  private:
    testing::TempFolder folder_;
};

TEST_F(ValidationLogFile, HoldsTheLogAndOneMoreLineEndAsBytes) {
    const std::string path = Write(
        "Program initial scan\r\nFound 1 xml\r\n"
        "caf\xE9 \xFF\r\n");
    EXPECT_EQ(path.substr(path.size() - 12), "\\Xml_Log.txt");
    EXPECT_EQ(Written(),
              "Program initial scan\r\nFound 1 xml\r\n"
              "caf\xE9 \xFF\r\n\r\n");
}

TEST_F(ValidationLogFile, AnEmptyLogGivesOneLineEnd) {
    Write("");
    EXPECT_EQ(Written(), "\r\n");
}

TEST_F(ValidationLogFile, EachShowRewritesTheWholeFile) {
    Write(std::string(1000, 'x'));
    Write("short");
    EXPECT_EQ(Written(), "short\r\n");
}

}  // namespace
}  // namespace quillon

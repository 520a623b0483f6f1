// "Xml_Log.txt": the validation log written beside the program (here, the test executable)
// and handed to the editor.
#include "catalogue/ValidationLog_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/AppState_win.h"
#include "execution/ShellHelpers_win.h"
#include "support/TempFolder.h"

namespace quillon {
namespace {

class ValidationLogFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove(path_);
        savedLog_ = App().validationLog;
    }
    void TearDown() override {
        App().validationLog = savedLog_;
        std::filesystem::remove(path_);
    }
    // Shows the log and ends whatever editor was started for it.
    void Show() {
        HANDLE editor = ShowValidationLog();
        if (editor != nullptr)
            ::TerminateProcess(editor, 0);
        if (editor != nullptr)
            ::WaitForSingleObject(editor, 5000);
        ReleaseProcess(editor);
    }
    std::string Written() const { return testing::ReadBytes(path_); }

  private:
    const std::filesystem::path path_{ProgramFolder() + "Xml_Log.txt"};
    std::string savedLog_;
};

TEST_F(ValidationLogFile, HoldsTheLogAndOneMoreLineEndAsBytes) {
    App().validationLog =
        "Program initial scan\r\nFound 1 xml\r\n"
        "caf\xE9 \xFF\r\n";
    Show();
    EXPECT_EQ(Written(),
              "Program initial scan\r\nFound 1 xml\r\n"
              "caf\xE9 \xFF\r\n\r\n");
}

TEST_F(ValidationLogFile, AnEmptyLogGivesOneLineEnd) {
    App().validationLog.clear();
    Show();
    EXPECT_EQ(Written(), "\r\n");
}

TEST_F(ValidationLogFile, EachShowRewritesTheWholeFile) {
    App().validationLog = std::string(1000, 'x');
    Show();
    App().validationLog = "short";
    Show();
    EXPECT_EQ(Written(), "short\r\n");
}

}  // namespace
}  // namespace quillon

// Which page each popup-menu command opens, and where the shell finds it.
#include "app/WebPages.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quillon {
namespace {

struct CommandCase {
    int id;
    const char* page;  // null: the command opens no page
};

[[maybe_unused]] void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << "command " << c.id;
}

class PageOfMenuCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(PageOfMenuCommand, OpensItsOwnPageOrNone) {
    const char* page = PageOfCommand(GetParam().id);
    if (GetParam().page == nullptr) {
        EXPECT_EQ(page, nullptr);
    } else {
        ASSERT_NE(page, nullptr);
        EXPECT_STREQ(page, GetParam().page);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PageOfMenuCommand,
    ::testing::Values(
        CommandCase{1050, nullptr}, CommandCase{1051, nullptr}, CommandCase{1052, nullptr},
        CommandCase{1053, "README.md"}, CommandCase{1054, nullptr},
        CommandCase{1055, "https://legacy.imagemagick.org/"},
        CommandCase{1056, "https://legacy.imagemagick.org/Usage/"}, CommandCase{1057, "README.md"},
        CommandCase{1058, "README.md"},
        CommandCase{1059, "https://legacy.imagemagick.org/script/binary-releases.php#windows"},
        CommandCase{1060, nullptr}, CommandCase{1001, nullptr}),
    [](const ::testing::TestParamInfo<CommandCase>& param) {
        return "Id" + std::to_string(param.param.id);
    });

TEST(PageLocation, AnAddressWithASchemeIsUsedAsItIs) {
    EXPECT_EQ(PageLocation("https://legacy.imagemagick.org/Usage/", "C:\\Quillon\\"),
              "https://legacy.imagemagick.org/Usage/");
}

TEST(PageLocation, AFileNameLiesInTheProgramFolder) {
    EXPECT_EQ(PageLocation("README.md", "C:\\Program Files\\Quillon\\"),
              "C:\\Program Files\\Quillon\\README.md");
}

}  // namespace
}  // namespace quillon

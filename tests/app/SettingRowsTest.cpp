// A number setting's slider and its text, and where the rows sit.
#include "app/SettingRows.h"

#include <gtest/gtest.h>

#include "app/MainWindowLayout.h"

namespace quillon {
namespace {

SettingDeclaration Number(const std::string& range) {
    const SettingsRead read =
        ReadSettings({"name=\"N\" label=\"N\" type=\"number\" " + range + "/>"}, true);
    EXPECT_EQ(read.problem, "");
    return read.settings.empty() ? SettingDeclaration{} : read.settings.front();
}

struct SliderCase {
    const char* range;
    int positions;
    const char* typed;
    int position;
    const char* shown;  // the value at that position
};

class NumberSlider : public ::testing::TestWithParam<SliderCase> {};

TEST_P(NumberSlider, PositionsAndValuesMatch) {
    const SliderCase& c = GetParam();
    const SettingDeclaration setting = Number(c.range);
    EXPECT_EQ(NumberPositions(setting), c.positions);
    EXPECT_EQ(NumberPosition(setting, c.typed), c.position);
    EXPECT_EQ(NumberAtPosition(setting, c.position), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberSlider,
    ::testing::Values(
        SliderCase{"min=\"0\" max=\"100\" default=\"80\"", 100, "80", 80, "80"},
        SliderCase{"min=\"0\" max=\"1\" default=\"0.5\"", 10, "0,25", 3, "0.3"},
        SliderCase{"min=\"-2.5\" max=\"2.5\" step=\"0.25\" default=\"0\"", 20, "-1", 6, "-1.00"},
        SliderCase{"min=\"10\" max=\"20\" default=\"15\"", 10, "99", 10, "20"},
        SliderCase{"min=\"10\" max=\"20\" default=\"15\"", 10, "x", 0, "10"},
        SliderCase{"min=\"0\" max=\"100000\" default=\"5\"", 1000, "5000", 50, "5000"},
        SliderCase{"min=\"0\" max=\"0.05\" default=\"0\"", 5, "-0.01", 0, "0.00"}));

TEST(SettingRowsLayout, RowsFollowTheLowerEdgeAndScale) {
    EXPECT_EQ(SettingRowsHeight(0), 0);
    const int height = SettingRowsHeight(2);
    const PixelSize client{516, 280 + height};
    const PixelRect label =
        SettingPartRect(SettingType::kText, 1, 2, SettingPart::Label, 96, client);
    EXPECT_GE(label.y, 280);
    EXPECT_LT(label.y + label.height, client.height);
    const PixelRect taller = SettingPartRect(SettingType::kText, 1, 2, SettingPart::Label, 96,
                                             {client.width, client.height + 50});
    EXPECT_EQ(taller.y, label.y + 50);
    const PixelRect scaled = SettingPartRect(SettingType::kText, 1, 2, SettingPart::Label, 192,
                                             {1032, 2 * client.height});
    EXPECT_EQ(scaled.y, 2 * label.y);
    EXPECT_EQ(scaled.height, 2 * label.height);
    EXPECT_EQ(SettingPartRect(SettingType::kSwitch, 0, 2, SettingPart::Second, 96, client).width,
              0);
}

TEST(KeptValues, ReadBackAsWrittenAndFallBackWhenTheyNoLongerPass) {
    const KeptValues kept = ReadKeptValues(
        "c:\\\\q\\\\a.xml\tT\ttab\\there\\nline\r\nnot ours\nc:\\\\q\\\\a.xml\tN\t7\n");
    ASSERT_EQ(kept.size(), 1u);
    const NamedValues& values = kept.at("c:\\q\\a.xml");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (std::pair<std::string, std::string>{"T", "tab\there\nline"}));
    EXPECT_EQ(KeptValuesText(kept),
              "c:\\\\q\\\\a.xml\tT\ttab\\there\\nline\nc:\\\\q\\\\a.xml\tN\t7\n");

    const SettingDeclaration number = Number("min=\"0\" max=\"10\" default=\"5\"");
    EXPECT_EQ(ShownValue(number, {{"N", "7,0"}}), "7");
    EXPECT_EQ(ShownValue(number, {{"N", "70"}}), "5");  // the script's range shrank
    EXPECT_EQ(ShownValue(number, {{"M", "7"}}), "5");
    EXPECT_EQ(ValuesToKeep({number}, {{"N", "5.0"}}), NamedValues{});
    EXPECT_EQ(ValuesToKeep({number}, {{"N", "x"}, {"N", "6"}}), (NamedValues{{"N", "6"}}));
}

}  // namespace
}  // namespace quillon

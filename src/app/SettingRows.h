// The rows of controls a script's settings get under the slots: where each control sits, and
// how a number's slider position and its text turn into each other. Pure code; the window
// builds the controls from it.
#pragma once

#include <cstddef>
#include <map>
#include <string_view>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ScriptSettings.h"
#include "pictures/PictureGeometry.h"

namespace quillon {

// Each setting takes up to five controls: its label, the control itself, a second label of
// the same text for the second control (its spoken name), that second control, and a unit.
inline constexpr int kSettingIdBase = 1200;
inline constexpr int kSettingIdsPerRow = 5;
inline constexpr int kSettingResetId = 1199;
enum class SettingPart { Label, Main, SecondLabel, Second, Unit };

constexpr int SettingControlId(std::size_t row, SettingPart part) {
    return kSettingIdBase + static_cast<int>(row) * kSettingIdsPerRow + static_cast<int>(part);
}

// The rows' height in the 96-DPI layout, the Reset button's line included; none for none.
int SettingRowsHeight(std::size_t rows);

// Where a row's part goes at dpi in a client area of the given size: the rows sit at the
// bottom of the client area, so that they follow its lower edge. An empty rectangle for a
// part the type has none of.
PixelRect SettingPartRect(SettingType type, std::size_t row, std::size_t rows, SettingPart part,
                          int dpi, PixelSize client);
PixelRect SettingResetRect(int dpi, PixelSize client);

// A number's slider: how many positions it has, the position of a value (typed with "." or
// ","; the nearest in range), and the value a position stands for, written with ".".
int NumberPositions(const SettingDeclaration& setting);
int NumberPosition(const SettingDeclaration& setting, const std::string& value);
std::string NumberAtPosition(const SettingDeclaration& setting, int position);

// The values the user gave each script, by the script file's full path, kept between starts:
// one "path<TAB>NAME<TAB>value" line each, tabs, line breaks and backslashes escaped.
using NamedValues = std::vector<std::pair<std::string, std::string>>;
using KeptValues = std::map<std::string, NamedValues>;
inline constexpr std::size_t kLongestKeptValues = 1 << 20;
KeptValues ReadKeptValues(std::string_view text);
std::string KeptValuesText(const KeptValues& kept);

// What a setting's row shows: the kept value while it still passes the declaration, the
// default otherwise.
std::string ShownValue(const SettingDeclaration& setting, const NamedValues& kept);

// The values worth keeping: those that pass and differ from their default.
NamedValues ValuesToKeep(const std::vector<SettingDeclaration>& settings, const NamedValues& given);

}  // namespace quillon

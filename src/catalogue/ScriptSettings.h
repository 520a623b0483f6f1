// The settings a script's author declares on "<param ...>" lines: reading the declarations,
// checking a value against its declaration, and the values a batch is built with.
// Pure code; the window draws one control per declaration and hands typed values back here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/SettingValue.h"

namespace quillon {

// More rows than this would not fit under the window's slots.
constexpr std::size_t kMostSettings = 24;
// A declaration line longer than this is refused rather than kept.
constexpr std::size_t kSettingLineCapacity = 2048;
// A text setting without a declared "max" holds at most this many characters.
constexpr std::size_t kDefaultTextLength = 200;

enum class SettingType { kNumber, kChoice, kColour, kSwitch, kText };

struct SettingDeclaration {
    std::string name;   // capitals, digits and "_"; written "$NAME" in the body
    std::string label;  // the text beside the control
    SettingType type = SettingType::kText;
    // In the form CheckSettingValue gives back: a number with ".", a choice as declared, a
    // colour "#rrggbb" in lower case, a switch "on" or "off", a text as written.
    std::string defaultValue;
    std::string min, max, step;        // number: min and max always, step when declared
    std::string unit;                  // number: shown after the field, never put into the batch
    int decimals = 0;                  // number: the most decimals of min, max, step and default
    std::vector<std::string> choices;  // choice
    std::string onText, offText;       // switch: what each state puts into the batch
    std::size_t maxLength = kDefaultTextLength;  // text
};

// The declarations of one script, read from the text after "<param " on each of its lines.
// problem is empty, or the validation log's line naming the broken setting and its rule.
struct SettingsRead {
    std::vector<SettingDeclaration> settings;
    std::string problem;
};
SettingsRead ReadSettings(const std::vector<std::string>& lines, bool onePicture);

// A value the user gave, checked: when ok, value is its stored form (see defaultValue);
// otherwise problem says which rule it breaks, naming the setting and the value, and rule
// names the rule alone (for a control's tooltip, say).
struct CheckedValue {
    bool ok = false;
    std::string value;
    std::string problem;
    std::string rule = {};
};
CheckedValue CheckSettingValue(const SettingDeclaration& setting, std::string_view typed);

// What a checked value puts into the batch.
SettingValue BatchValueOf(const SettingDeclaration& setting, const std::string& checkedValue);

// Every declared setting's batch value: the given value (by name, checked) where there is
// one, the default elsewhere. problem names an undeclared setting or a bad value; then
// values is empty and nothing may run.
struct SettingValues {
    std::vector<SettingValue> values;
    std::string problem;
};
SettingValues SettingValuesFor(const std::vector<SettingDeclaration>& settings,
                               const std::vector<std::pair<std::string, std::string>>& given);

// "number", "choice", "colour", "switch" or "text".
std::string_view SettingTypeName(SettingType type);

// What a setting accepts, in a word: "0..100", "A|B|C", "#rrggbb", "on|off", "max 200".
std::string SettingRangeText(const SettingDeclaration& setting);

}  // namespace quillon

#include "catalogue/ScriptSettings.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/Text.h"
#include "catalogue/ScriptFormat.h"

namespace quillon {
namespace {

constexpr std::string_view kChoiceCharacters = "-_+.#";
// Enough for any range a picture tool takes, few enough that no number is cut short.
constexpr std::size_t kMostDigits = 15;
constexpr std::size_t kMostNameLength = 32;

// The placeholders Quillon fills itself. A setting named after one, or starting like one,
// would be taken for it: a one-picture script's "$EXTRA" reads as "$EXT1RA".
constexpr std::string_view kPictureWords[] = {"NAME", "EXT", "WIDTH", "HEIGHT"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsCapital(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsLetter(char c) {
    return IsCapital(c) || (c >= 'a' && c <= 'z');
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A decimal number held as its digits, so that no locale and no rounding touches it.
struct Decimal {
    bool negative = false;
    std::string whole;     // without leading zeros: empty for zero
    std::string fraction;  // without trailing zeros

    std::string Text() const {
        const bool zero = whole.empty() && fraction.empty();
        return std::string(negative && !zero ? "-" : "") + (whole.empty() ? "0" : whole) +
               (fraction.empty() ? "" : "." + fraction);
    }
};

// "-12.5", "3", ".5"; with comma, "12,5" too (as typed where a comma marks decimals).
std::optional<Decimal> ParseDecimal(std::string_view text, bool comma) {
    Decimal number;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        number.negative = true;
        ++i;
    }
    std::size_t digits = 0;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            (inFraction ? number.fraction : number.whole) += c;
        } else if (!inFraction && (c == '.' || (comma && c == ','))) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > kMostDigits)
        return std::nullopt;
    number.whole.erase(0, number.whole.find_first_not_of('0'));
    if (number.whole.find_first_not_of('0') == std::string::npos)
        number.whole.clear();
    while (!number.fraction.empty() && number.fraction.back() == '0')
        number.fraction.pop_back();
    return number;
}

// Negative, zero or positive as a is less than, equal to or greater than b.
int Compare(const Decimal& a, const Decimal& b) {
    const bool aNegative = a.negative && a.Text() != "0";
    const bool bNegative = b.negative && b.Text() != "0";
    if (aNegative != bNegative)
        return aNegative ? -1 : 1;
    int magnitude = 0;
    if (a.whole.size() != b.whole.size()) {
        magnitude = a.whole.size() < b.whole.size() ? -1 : 1;
    } else if (const int wholes = a.whole.compare(b.whole); wholes != 0) {
        magnitude = wholes < 0 ? -1 : 1;
    } else {
        const std::size_t width = std::max(a.fraction.size(), b.fraction.size());
        const int fractions =
            (a.fraction + std::string(width - a.fraction.size(), '0'))
                .compare(b.fraction + std::string(width - b.fraction.size(), '0'));
        magnitude = fractions < 0 ? -1 : fractions > 0 ? 1 : 0;
    }
    return aNegative ? -magnitude : magnitude;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A switch's text is written in the body's own spelling, so it is turned into batch text by
// the body's rules: quotes, percent signs and escaped parentheses.
std::string BodyFragment(std::string_view text, bool onePicture) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'')
            out += '"';
        else if (c == '%')
            out += "%%";
        else if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '(' || text[i + 1] == ')'))
            out += text[++i];
        else
            out += c;
    }
    return onePicture ? ApplySingleArgShorthand(out) : out;
}

// The character of a typed text that cannot reach the tools through the batch, if any.
std::optional<std::string> UnpassableCharacter(std::string_view text) {
    for (char c : text) {
        if (c == '"')
            return std::string("\" (double quote)");
        if (c == '\r' || c == '\n')
            return std::string("line break");
        if (c == '\0')
            return std::string("NUL");
    }
    return std::nullopt;
}

using Attributes = std::map<std::string, std::string>;

// The key="value" pairs of a declaration, each once, then an optional "/>" or ">".
std::optional<Attributes> ParseAttributes(std::string_view line, std::string& problem) {
    Attributes attributes;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    };
    for (;;) {
        skipBlanks();
        const std::string_view rest = TrimSpace(line.substr(i));
        if (rest.empty() || rest == "/>" || rest == ">")
            return attributes;
        std::string key;
        while (i < line.size() && (IsLetter(line[i]) || line[i] == '_'))
            key += AsciiLower(line[i++]);
        skipBlanks();
        if (key.empty() || i >= line.size() || line[i] != '=') {
            problem = "expected name=\"value\" at \"" + std::string(rest.substr(0, 20)) + "\"";
            return std::nullopt;
        }
        ++i;
        skipBlanks();
        if (i >= line.size() || line[i] != '"') {
            problem = "the value of " + key + " is not in double quotes";
            return std::nullopt;
        }
        const std::size_t close = line.find('"', i + 1);
        if (close == std::string_view::npos) {
            problem = "the value of " + key + " has no closing quote";
            return std::nullopt;
        }
        if (attributes.count(key) != 0) {
            problem = key + " is given twice";
            return std::nullopt;
        }
        attributes[key] = std::string(line.substr(i + 1, close - i - 1));
        i = close + 1;
    }
}

// Checks a name against the placeholder rules; empty when it is good.
std::string NameProblem(const std::string& name) {
    if (name.empty())
        return "it has no name";
    if (name.size() > kMostNameLength)
        return "the name is longer than " + std::to_string(kMostNameLength) + " characters";
    if (!IsCapital(name[0]))
        return "the name must start with a capital letter";
    for (char c : name) {
        if (!IsCapital(c) && !IsDigit(c) && c != '_')
            return "the name may hold only capital letters, digits and _";
    }
    for (std::string_view word : kPictureWords) {
        if (name.compare(0, word.size(), word) == 0)
            return "the name may not start with " + std::string(word) +
                   ", which Quillon fills with the picture's data";
    }
    return {};
}

// Reads one declaration into setting; the problem with it, or empty.
std::string ReadDeclaration(std::string_view line, bool onePicture, SettingDeclaration& setting) {
    if (line.size() > kSettingLineCapacity)
        return "the line is longer than " + std::to_string(kSettingLineCapacity) + " characters";
    std::string problem;
    const std::optional<Attributes> parsed = ParseAttributes(line, problem);
    if (!parsed) {
        // Name the setting where the name can still be found.
        setting.name = AttributeValue(line, "name=").value;
        return problem;
    }
    const Attributes& attributes = *parsed;
    const auto has = [&](const char* key) { return attributes.count(key) != 0; };
    const auto get = [&](const char* key) {
        const auto found = attributes.find(key);
        return found == attributes.end() ? std::string() : found->second;
    };
    setting.name = get("name");
    for (const auto& [key, value] : attributes) {
        static const char* const kKnown[] = {"name", "label",   "type",    "min", "max", "step",
                                             "unit", "default", "choices", "on",  "off"};
        if (std::none_of(std::begin(kKnown), std::end(kKnown),
                         [&key = key](const char* known) { return key == known; }))
            return "unknown attribute " + key;
    }
    if (std::string nameProblem = NameProblem(setting.name); !nameProblem.empty())
        return nameProblem;
    setting.label = TrimBlanks(get("label"));
    if (setting.label.empty())
        return "it has no label";
    const std::string type = AsciiLowered(get("type"));
    if (!has("default"))
        return "it has no default";
    const std::string declaredDefault = get("default");

    if (type == "number") {
        setting.type = SettingType::kNumber;
        if (!has("min") || !has("max"))
            return "a number needs min and max";
        const std::optional<Decimal> min = ParseDecimal(get("min"), false);
        const std::optional<Decimal> max = ParseDecimal(get("max"), false);
        const std::optional<Decimal> value = ParseDecimal(declaredDefault, false);
        if (!min || !max || !value)
            return "min, max and default must be numbers written with digits and \".\"";
        if (Compare(*min, *max) > 0)
            return "min " + min->Text() + " is above max " + max->Text();
        if (Compare(*value, *min) < 0 || Compare(*value, *max) > 0)
            return "default " + declaredDefault + " is outside " + min->Text() + ".." + max->Text();
        std::size_t decimals =
            std::max({min->fraction.size(), max->fraction.size(), value->fraction.size()});
        if (has("step")) {
            const std::optional<Decimal> step = ParseDecimal(get("step"), false);
            if (!step || step->negative || step->Text() == "0")
                return "step must be a number above 0";
            setting.step = step->Text();
            decimals = std::max(decimals, step->fraction.size());
        }
        setting.min = min->Text();
        setting.max = max->Text();
        setting.defaultValue = value->Text();
        setting.decimals = static_cast<int>(decimals);
        setting.unit = get("unit");
    } else if (type == "choice") {
        setting.type = SettingType::kChoice;
        setting.choices = Split(get("choices"), '|');
        for (const std::string& choice : setting.choices) {
            if (choice.empty())
                return "a choice is empty (choices are separated by |)";
            for (char c : choice) {
                if (!IsLetter(c) && !IsDigit(c) && kChoiceCharacters.find(c) == std::string::npos)
                    return "choice " + choice + " holds " + c +
                           " (choices are letters, digits and - _ + . #)";
            }
            if (std::count(setting.choices.begin(), setting.choices.end(), choice) > 1)
                return "choice " + choice + " is listed twice";
        }
        if (std::find(setting.choices.begin(), setting.choices.end(), declaredDefault) ==
            setting.choices.end())
            return "default " + declaredDefault + " is not one of the choices";
        setting.defaultValue = declaredDefault;
    } else if (type == "colour") {
        setting.type = SettingType::kColour;
    } else if (type == "switch") {
        setting.type = SettingType::kSwitch;
        if (!has("on") || !has("off"))
            return "a switch needs on and off (the text each state puts into the script)";
        setting.onText = BodyFragment(get("on"), onePicture);
        setting.offText = BodyFragment(get("off"), onePicture);
    } else if (type == "text") {
        setting.type = SettingType::kText;
        if (has("max")) {
            const std::optional<Decimal> length = ParseDecimal(get("max"), false);
            if (!length || length->negative || !length->fraction.empty() || length->whole.empty() ||
                length->whole.size() > 4)
                return "max must be a length from 1 to 9999";
            setting.maxLength = static_cast<std::size_t>(std::stoi(length->whole));
        }
    } else {
        return "type \"" + type + "\" is not number, choice, colour, switch or text";
    }
    if (setting.type == SettingType::kColour || setting.type == SettingType::kSwitch ||
        setting.type == SettingType::kText) {
        const CheckedValue checked = CheckSettingValue(setting, declaredDefault);
        if (!checked.ok)
            return "default " + declaredDefault + ": " + checked.rule;
        setting.defaultValue = checked.value;
    }
    return {};
}

std::string SettingTag(const std::string& name) {
    return "<param NAME=\"" + name + "\">";
}

}  // namespace

SettingsRead ReadSettings(const std::vector<std::string>& lines, bool onePicture) {
    SettingsRead read;
    if (lines.size() > kMostSettings) {
        read.problem =
            "Bad setting: a script declares at most " + std::to_string(kMostSettings) + " settings";
        return read;
    }
    for (const std::string& line : lines) {
        SettingDeclaration setting;
        std::string problem = ReadDeclaration(line, onePicture, setting);
        if (problem.empty()) {
            for (const SettingDeclaration& earlier : read.settings) {
                if (earlier.name == setting.name)
                    problem = "the name is declared twice";
            }
        }
        if (!problem.empty()) {
            read.settings.clear();
            read.problem = "Bad setting " + SettingTag(setting.name) + ": " + problem;
            return read;
        }
        read.settings.push_back(std::move(setting));
    }
    return read;
}

CheckedValue CheckSettingValue(const SettingDeclaration& setting, std::string_view typed) {
    const auto bad = [&](const std::string& why) {
        return CheckedValue{
            false,
            {},
            "bad value \"" + std::string(typed) + "\" for setting " + setting.name + ": " + why,
            why};
    };
    switch (setting.type) {
        case SettingType::kNumber: {
            const std::optional<Decimal> value = ParseDecimal(TrimSpace(typed), true);
            if (!value)
                return bad("not a number");
            const std::optional<Decimal> min = ParseDecimal(setting.min, false);
            const std::optional<Decimal> max = ParseDecimal(setting.max, false);
            if (!min || !max || Compare(*value, *min) < 0 || Compare(*value, *max) > 0)
                return bad("outside " + setting.min + ".." + setting.max);
            return {true, value->Text(), {}};
        }
        case SettingType::kChoice:
            for (const std::string& choice : setting.choices) {
                if (EqualsIgnoringAsciiCase(choice, TrimSpace(typed)))
                    return {true, choice, {}};
            }
            return bad("not one of " + SettingRangeText(setting));
        case SettingType::kColour: {
            const std::string_view colour = TrimSpace(typed);
            if (colour.size() != 7 || colour[0] != '#' ||
                !std::all_of(colour.begin() + 1, colour.end(), IsHexDigit))
                return bad("not a colour #rrggbb");
            return {true, AsciiLowered(colour), {}};
        }
        case SettingType::kSwitch: {
            const std::string state = AsciiLowered(TrimSpace(typed));
            if (state != "on" && state != "off")
                return bad("not on or off");
            return {true, state, {}};
        }
        case SettingType::kText:
            if (const std::optional<std::string> character = UnpassableCharacter(typed))
                return bad("the character " + *character + " cannot be passed to the tools");
            if (typed.size() > setting.maxLength)
                return bad("longer than " + std::to_string(setting.maxLength) + " characters");
            return {true, std::string(typed), {}};
    }
    return bad("unknown type");
}

SettingValue BatchValueOf(const SettingDeclaration& setting, const std::string& checkedValue) {
    if (setting.type == SettingType::kSwitch)
        return {setting.name, checkedValue == "on" ? setting.onText : setting.offText, false};
    return {setting.name, checkedValue, setting.type == SettingType::kText};
}

SettingValues SettingValuesFor(const std::vector<SettingDeclaration>& settings,
                               const std::vector<std::pair<std::string, std::string>>& given) {
    SettingValues result;
    std::vector<std::string> values;
    for (const SettingDeclaration& setting : settings)
        values.push_back(setting.defaultValue);
    for (const auto& [name, typed] : given) {
        const auto found = std::find_if(settings.begin(), settings.end(),
                                        [&name = name](const auto& s) { return s.name == name; });
        if (found == settings.end()) {
            result.problem =
                "the script declares no setting " + name + " (given the value \"" + typed + "\")";
            return result;
        }
        const CheckedValue checked = CheckSettingValue(*found, typed);
        if (!checked.ok) {
            result.problem = checked.problem;
            return result;
        }
        values[static_cast<std::size_t>(found - settings.begin())] = checked.value;
    }
    for (std::size_t i = 0; i < settings.size(); ++i)
        result.values.push_back(BatchValueOf(settings[i], values[i]));
    return result;
}

std::string_view SettingTypeName(SettingType type) {
    switch (type) {
        case SettingType::kNumber:
            return "number";
        case SettingType::kChoice:
            return "choice";
        case SettingType::kColour:
            return "colour";
        case SettingType::kSwitch:
            return "switch";
        case SettingType::kText:
            return "text";
    }
    return "text";
}

std::string SettingRangeText(const SettingDeclaration& setting) {
    switch (setting.type) {
        case SettingType::kNumber:
            return setting.min + ".." + setting.max;
        case SettingType::kChoice: {
            std::string text;
            for (const std::string& choice : setting.choices)
                text += (text.empty() ? "" : "|") + choice;
            return text;
        }
        case SettingType::kColour:
            return "#rrggbb";
        case SettingType::kSwitch:
            return "on|off";
        case SettingType::kText:
            return "max " + std::to_string(setting.maxLength);
    }
    return {};
}

}  // namespace quillon

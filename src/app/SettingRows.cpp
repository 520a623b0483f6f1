#include "app/SettingRows.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "app/MainWindowLayout.h"

namespace quillon {

namespace {

constexpr int kRowHeight = 26;
constexpr int kResetLineHeight = 30;
constexpr int kControlHeight = 22;
// A slider finer than this could not be moved to each of its positions anyway.
constexpr long long kMostPositions = 1000;
constexpr int kMostDecimals = 9;

struct PartPlace {
    int x;
    int width;
};

PartPlace PlaceOf(SettingType type, SettingPart part) {
    if (part == SettingPart::Label)
        return {8, 140};
    switch (type) {
        case SettingType::kNumber:
            switch (part) {
                case SettingPart::Main:
                    return {152, 220};
                case SettingPart::Second:
                    return {376, 64};
                case SettingPart::Unit:
                    return {444, 64};
                default:
                    return {0, 0};
            }
        case SettingType::kChoice:
            return part == SettingPart::Main ? PartPlace{152, 220} : PartPlace{0, 0};
        case SettingType::kColour:
            return part == SettingPart::Main     ? PartPlace{152, 64}
                   : part == SettingPart::Second ? PartPlace{220, 72}
                                                 : PartPlace{0, 0};
        case SettingType::kSwitch:
            return part == SettingPart::Main ? PartPlace{152, 16} : PartPlace{0, 0};
        case SettingType::kText:
            return part == SettingPart::Main ? PartPlace{152, 356} : PartPlace{0, 0};
    }
    return {0, 0};
}

// The rows' top edge in the client area, in the 96-DPI layout's scale at dpi.
int RowsTop(std::size_t rows, int dpi, PixelSize client) {
    return client.height - ScaledLength(SettingRowsHeight(rows), dpi);
}

PixelRect Moved(PixelRect rect, int dpi, int top) {
    PixelRect scaled = ScaledRect(rect, dpi);
    scaled.y += top;
    return scaled;
}

// A decimal in whole units of 10^-decimals, rounded half away from zero; "." or "," marks
// the fraction. Nothing for text that is no number.
std::optional<long long> Units(const std::string& text, int decimals) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    long long units = 0;
    int fractionDigits = -1;
    bool roundUp = false;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (fractionDigits >= decimals) {
                if (fractionDigits == decimals)
                    roundUp = c >= '5';
                ++fractionDigits;
                continue;
            }
            if (units > 100000000000LL)
                return std::nullopt;
            units = units * 10 + (c - '0');
            if (fractionDigits >= 0)
                ++fractionDigits;
        } else if ((c == '.' || c == ',') && fractionDigits < 0) {
            fractionDigits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!any)
        return std::nullopt;
    for (int d = std::max(fractionDigits, 0); d < decimals; ++d)
        units *= 10;
    if (roundUp)
        ++units;
    return negative ? -units : units;
}

std::string UnitsText(long long units, int decimals) {
    const bool negative = units < 0;
    std::string digits = std::to_string(negative ? -units : units);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    }
    return (negative && units != 0 ? "-" : "") + digits;
}

struct Scale {
    long long min = 0;
    long long max = 0;
    long long step = 1;
    int decimals = 0;
};

Scale ScaleOf(const SettingDeclaration& setting) {
    Scale scale;
    scale.decimals = std::clamp(setting.decimals, 0, kMostDecimals);
    scale.min = Units(setting.min, scale.decimals).value_or(0);
    scale.max = std::max(scale.min, Units(setting.max, scale.decimals).value_or(scale.min));
    scale.step = std::max(1LL, Units(setting.step, scale.decimals).value_or(1));
    const long long span = scale.max - scale.min;
    if (span / scale.step > kMostPositions)
        scale.step = (span + kMostPositions - 1) / kMostPositions;
    return scale;
}

}  // namespace

int SettingRowsHeight(std::size_t rows) {
    return rows == 0 ? 0 : static_cast<int>(rows) * kRowHeight + kResetLineHeight;
}

PixelRect SettingPartRect(SettingType type, std::size_t row, std::size_t rows, SettingPart part,
                          int dpi, PixelSize client) {
    const PartPlace place = PlaceOf(type, part);
    if (place.width == 0)
        return {};
    const int y = 4 + static_cast<int>(row) * kRowHeight;
    // A drop-down list's height is its dropped-down part's.
    const int height = type == SettingType::kChoice && part == SettingPart::Main ? 200
                       : part == SettingPart::SecondLabel                        ? 0
                                                                                 : kControlHeight;
    const bool text = part == SettingPart::Label || part == SettingPart::Unit;
    return Moved({place.x, y + (text ? 3 : 0), place.width, text ? 16 : height}, dpi,
                 RowsTop(rows, dpi, client));
}

PixelRect SettingResetRect(int dpi, PixelSize client) {
    return Moved({424, -kResetLineHeight + 2, 84, 24}, dpi, client.height);
}

int NumberPositions(const SettingDeclaration& setting) {
    const Scale scale = ScaleOf(setting);
    return static_cast<int>((scale.max - scale.min + scale.step - 1) / scale.step);
}

int NumberPosition(const SettingDeclaration& setting, const std::string& value) {
    const Scale scale = ScaleOf(setting);
    const long long units =
        std::clamp(Units(value, scale.decimals).value_or(scale.min), scale.min, scale.max);
    return static_cast<int>((units - scale.min + scale.step / 2) / scale.step);
}

std::string NumberAtPosition(const SettingDeclaration& setting, int position) {
    const Scale scale = ScaleOf(setting);
    const long long units =
        std::clamp(scale.min + static_cast<long long>(std::max(position, 0)) * scale.step,
                   scale.min, scale.max);
    return UnitsText(units, scale.decimals);
}

namespace {

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string Unescaped(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const char next = text[++i];
        plain += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return plain;
}

}  // namespace

KeptValues ReadKeptValues(std::string_view text) {
    KeptValues kept;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);  // the file was saved by an editor that ends lines so
        const std::size_t first = line.find('\t');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find('\t', first + 1);
        if (second == std::string_view::npos)
            continue;  // not a line of ours: left out
        kept[Unescaped(line.substr(0, first))].emplace_back(
            Unescaped(line.substr(first + 1, second - first - 1)),
            Unescaped(line.substr(second + 1)));
    }
    return kept;
}

std::string KeptValuesText(const KeptValues& kept) {
    std::string text;
    for (const auto& [script, values] : kept) {
        for (const auto& [name, value] : values)
            text += Escaped(script) + "\t" + Escaped(name) + "\t" + Escaped(value) + "\n";
    }
    return text;
}

std::string ShownValue(const SettingDeclaration& setting, const NamedValues& kept) {
    for (const auto& [name, value] : kept) {
        if (name != setting.name)
            continue;
        const CheckedValue checked = CheckSettingValue(setting, value);
        if (checked.ok)
            return checked.value;
    }
    return setting.defaultValue;
}

NamedValues ValuesToKeep(const std::vector<SettingDeclaration>& settings,
                         const NamedValues& given) {
    NamedValues keep;
    for (const SettingDeclaration& setting : settings) {
        for (const auto& [name, value] : given) {
            if (name != setting.name)
                continue;
            const CheckedValue checked = CheckSettingValue(setting, value);
            if (checked.ok && checked.value != setting.defaultValue)
                keep.emplace_back(name, checked.value);
        }
    }
    return keep;
}

}  // namespace quillon

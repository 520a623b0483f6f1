#include "settings/WindowPosition.h"

#include <cmath>
#include <limits>

#include "base/Rounding.h"

namespace quillon {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string NumberLine(int value) {
    // The minus sign takes the place of the blank a positive number is written with.
    const std::string digits = std::to_string(value);
    return (value < 0 ? digits : " " + digits) + " \r\n";
}

// The line that starts at `from`, without its line end; `from` moves past it.
std::string_view NextLine(std::string_view text, std::size_t& from) {
    if (from >= text.size())
        return {};
    const std::size_t end = text.find('\n', from);
    std::string_view line =
        text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
    from = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The number a line starts with after blanks: an optional sign, digits, and an optional
// fraction after a point. Anything else gives 0.
int NumberOfLine(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < line.size() && (line[at] == '-' || line[at] == '+')) {
        negative = line[at] == '-';
        ++at;
    }
    double value = 0.0;
    bool anyDigit = false;
    for (; at < line.size() && IsDigit(line[at]); ++at) {
        value = value * 10.0 + (line[at] - '0');
        anyDigit = true;
    }
    if (at < line.size() && line[at] == '.') {
        double scale = 0.1;
        for (++at; at < line.size() && IsDigit(line[at]); ++at) {
            value += (line[at] - '0') * scale;
            scale /= 10.0;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    const double rounded = RoundHalfEven(negative ? -value : value);
    constexpr double kLowest = std::numeric_limits<int>::min();
    constexpr double kHighest = std::numeric_limits<int>::max();
    if (!(rounded >= kLowest))
        return std::numeric_limits<int>::min();
    if (!(rounded <= kHighest))
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

// The program's name without folder and last extension.
std::string_view ProgramName(std::string_view programPath) {
    const std::size_t slash = programPath.find_last_of("\\/:");
    std::string_view name =
        slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos)
        name = name.substr(0, dot);
    return name;
}

}  // namespace

std::string PositionFileName(std::string_view programPath) {
    return std::string(ProgramName(programPath)) + ".pos";
}

std::string SizeFileName(std::string_view programPath) {
    return std::string(ProgramName(programPath)) + ".size";
}

std::string SizeFileText(const KeptSize& size) {
    return NumberLine(size.client.width) + NumberLine(size.client.height) +
           NumberLine(size.maximised ? 1 : 0);
}

KeptSize SizeFromText(std::string_view text) {
    std::size_t from = 0;
    KeptSize size;
    size.client.width = NumberOfLine(NextLine(text, from));
    size.client.height = NumberOfLine(NextLine(text, from));
    size.maximised = NumberOfLine(NextLine(text, from)) == 1;
    return size;
}

std::string PositionFileText(PixelPoint corner) {
    return NumberLine(corner.x) + NumberLine(corner.y);
}

PixelPoint PositionFromText(std::string_view text) {
    std::size_t from = 0;
    const int x = NumberOfLine(NextLine(text, from));
    const int y = NumberOfLine(NextLine(text, from));
    return {x, y};
}

}  // namespace quillon

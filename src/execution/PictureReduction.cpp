#include "execution/PictureReduction.h"

#include <cctype>

namespace quillon {

namespace {

constexpr std::string_view kNoDelegate = "no decode delegate for this image format";
// A coder that hands the file to an outside program (camera raw to ufraw or dcraw) says this
// when that program is not installed.
constexpr std::string_view kDelegateFailed = "delegate failed";
// One line: format, width, height, of the frame read.
constexpr char kReportFormat[] = "%m %w %h\\n";

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string_view ExtensionOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("\\/");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

bool IsCoderName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::optional<int> PositiveNumber(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value > 0 ? std::optional<int>(value) : std::nullopt;
}

std::optional<ReportedPicture> ParseLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.remove_suffix(1);
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos || first == 0)
        return std::nullopt;
    const std::optional<int> width = PositiveNumber(line.substr(first + 1, second - first - 1));
    const std::optional<int> height = PositiveNumber(line.substr(second + 1));
    if (!width || !height)
        return std::nullopt;
    return ReportedPicture{std::string(line.substr(0, first)), {*width, *height}};
}

}  // namespace

std::optional<std::string> FirstFrameInput(std::string_view path) {
    const std::string_view extension = ExtensionOf(path);
    if (!IsCoderName(extension))
        return std::nullopt;
    return Upper(extension) + ":" + std::string(path) + "[0]";
}

std::vector<std::string> ReductionArguments(const std::string& input, const std::string& copyPath,
                                            int maxSide) {
    const std::string side = std::to_string(maxSide);
    // The JPEG decoder shrinks the picture only as far as both sides stay at least this
    // size. The copy's long side leaves a 3:2 photograph 1.5 times the copy to reduce from;
    // twice that had a 6000 x 4000 one decoded whole (2.5 s and 370 MB against 1 s and 55 MB).
    // One thread: the copy is made while the window's own decoder reads the same picture on
    // the other core, and a second thread gains ImageMagick little on a picture this small.
    return {"-limit",
            "thread",
            "1",
            "-define",
            "jpeg:size=" + side + "x" + side,
            input,
            "-print",
            kReportFormat,
            "-thumbnail",
            side + "x" + side + ">",
            "-quality",
            "10",
            "PNG:" + copyPath};
}

std::vector<std::string> SizeArguments(const std::string& input) {
    return {"-ping", "-format", kReportFormat, input};
}

std::string QuotedCommandLine(const std::string& program,
                              const std::vector<std::string>& arguments) {
    std::string line = "\"" + program + "\"";
    for (const std::string& argument : arguments)
        line += " \"" + argument + "\"";
    return line;
}

std::optional<ReportedPicture> ParseReport(std::string_view output) {
    std::optional<ReportedPicture> found;
    while (!output.empty()) {
        const std::size_t end = output.find('\n');
        if (std::optional<ReportedPicture> line = ParseLine(output.substr(0, end)))
            found = std::move(line);
        output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
    }
    return found;
}

std::string UnreadableFormatText(std::string_view errors, std::string_view path) {
    const std::size_t at = errors.find(kNoDelegate);
    const bool delegateMissing = errors.find(kDelegateFailed) != std::string_view::npos;
    if (at == std::string_view::npos && !delegateMissing)
        return std::string();
    // ImageMagick names the format it lacks as `HEIC'; the extension says the same otherwise.
    std::string format;
    const std::size_t open = at == std::string_view::npos ? at : errors.find('`', at);
    const std::size_t close = open == std::string_view::npos ? open : errors.find('\'', open);
    if (close != std::string_view::npos && close - open > 1)
        format = std::string(errors.substr(open + 1, close - open - 1));
    if (!IsCoderName(format))
        format = Upper(ExtensionOf(path));
    return "This ImageMagick cannot read " + (format.empty() ? std::string("such") : format) +
           " pictures";
}

}  // namespace quillon

#include "app/SetRunText.h"

namespace quillon {

namespace {

std::string Clock(long seconds) {
    const long minutes = seconds / 60;
    const long rest = seconds % 60;
    return std::to_string(minutes) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string Count(int count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

}  // namespace

std::string QuestionDetails(int pictures, int existing, int leftOut) {
    std::string text;
    if (existing > 0)
        text += "\r\r" + std::to_string(existing) + " of " + std::to_string(pictures) +
                (pictures == 1 ? " picture already has" : " pictures already have") +
                " their output: replace it, or skip them?";
    if (leftOut > 0)
        text += "\r\r" + Count(leftOut, "picture is", "pictures are") +
                " left out: this script made them, or another slot holds them.";
    return text;
}

std::string SettingsDetails(const std::vector<SettingDeclaration>& settings,
                            const std::vector<std::pair<std::string, std::string>>& given) {
    std::string details;
    for (const SettingDeclaration& setting : settings) {
        std::string value = setting.defaultValue;
        for (const auto& [name, text] : given) {
            if (name == setting.name)
                value = CheckSettingValue(setting, text).value;
        }
        const std::string unit = setting.unit.empty() ? "" : " " + setting.unit;
        details += (details.empty() ? "\r\r" : ", ") + setting.label + " " + value + unit;
    }
    return details;
}

std::string ProgressLine(int finished, int total, const std::string& pictureName) {
    return std::to_string(finished) + " of " + std::to_string(total) + ": " + pictureName;
}

std::string TimesLine(long elapsedSeconds, int done, int total) {
    std::string line = "Elapsed " + Clock(elapsedSeconds);
    if (done > 0 && total >= done) {
        const long left = elapsedSeconds * static_cast<long>(total - done) / done;
        line += ", about " + Clock(left) + " left";
    }
    return line;
}

std::string SummaryText(const SetSummary& summary) {
    std::string text;
    if (summary.cancelled)
        text = "Cancelled after " +
               Count(summary.created + summary.warnings + summary.failed, "picture", "pictures") +
               " of " + std::to_string(summary.total) + ".\r";
    text += Count(summary.created + summary.warnings, "picture", "pictures") + " created";
    if (summary.warnings > 0)
        text += ", " + std::to_string(summary.warnings) + " of them with warnings";
    text += ", " + std::to_string(summary.failed) + " failed";
    if (summary.skipped > 0)
        text += ", " + std::to_string(summary.skipped) + " skipped";
    if (summary.leftOut > 0)
        text += ", " + std::to_string(summary.leftOut) + " left out";
    text += '.';
    std::size_t shown = 0;
    for (const SetSummaryEntry& entry : summary.entries) {
        if (shown++ == kSummaryEntries) {
            text += "\r\r... and " + std::to_string(summary.entries.size() - kSummaryEntries) +
                    " more.";
            break;
        }
        text += std::string("\r\r") + (entry.failed ? "Failed: " : "Warning: ") +
                entry.pictureName + "\r" + entry.firstLines;
        if (!entry.keptAs.empty())
            text += "\rThe output made is kept as " + entry.keptAs;
    }
    if (!summary.logPath.empty())
        text += "\r\rEverything ImageMagick said is in " + summary.logPath;
    return text;
}

}  // namespace quillon

#include "support/PlainScriptReader.h"

#include <algorithm>

namespace quillon::plain {
namespace {

constexpr char kCtrlZ = 0x1A;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Spaces only: a tab around the closing tag makes the line a body line.
std::string TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

// Every occurrence, left to right; replaced text is not searched again.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, from.size()) == from) {
            out += to;
            i += from.size();
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view fileBytes) {
    const std::string_view text = fileBytes.substr(0, fileBytes.find(kCtrlZ));
    const bool crRules = text.find('\r') != std::string_view::npos;
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == (crRules ? '\r' : '\n')) {
            lines.push_back(line);
            line.clear();
            if (crRules && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string ConvertLine(std::string_view line) {
    std::string text(line);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (!text.empty() && text.back() == '\\')
        text.back() = '^';
    if (!text.empty() && text.front() == '#')
        text = "::" + text.substr(1);
    text = ReplaceAll(text, "'", "\"");
    text = ReplaceAll(text, "\\(", "(");
    text = ReplaceAll(text, "\\)", ")");
    text = ReplaceAll(text, "%", "%%");
    return text + "\r\n";
}

AttributeResult Attribute(std::string_view line, std::string_view keyword) {
    const std::size_t at = Lower(line).find(keyword);
    if (at == std::string::npos)
        return {false, ""};
    const std::size_t open = line.find('"', at);
    if (open == std::string_view::npos)
        return {true, ""};
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos)
        return {true, std::string(line.substr(open + 1))};
    return {true, std::string(line.substr(open + 1, close - open - 1))};
}

std::uint8_t Count(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    std::string whole;
    while (i < value.size() && IsDigit(value[i]))
        whole += value[i++];
    std::string fraction;
    if (i < value.size() && value[i] == '.') {
        ++i;
        while (i < value.size() && IsDigit(value[i]))
            fraction += value[i++];
    }

    // Only the low eight bits are kept, and they (with the parity that rounding to even
    // needs) depend only on the whole part modulo 256.
    unsigned low8 = 0;
    for (char digit : whole)
        low8 = (low8 * 10 + static_cast<unsigned>(digit - '0')) % 256;

    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    bool up = false;
    if (fraction == "5")
        up = low8 % 2 == 1;
    else if (!fraction.empty() && fraction[0] >= '5')
        up = true;

    const unsigned magnitude = (low8 + (up ? 1 : 0)) % 256;
    return static_cast<std::uint8_t>(negative ? (256 - magnitude) % 256 : magnitude);
}

std::string Shorthand(std::string body) {
    for (std::string word : {"$EXT", "$NAME", "$WIDTH", "$HEIGHT"}) {
        body = ReplaceAll(body, word, word + "1");
        body = ReplaceAll(body, word + "11", word + "1");
    }
    return body;
}

ScriptReadResult ReadScript(std::string_view fileBytes, ScriptEntry& entry) {
    const std::vector<std::string> lines = SplitLines(fileBytes);

    std::size_t tag = 0;
    while (tag < lines.size() && Lower(lines[tag]).find("<script ") == std::string::npos)
        ++tag;
    if (tag == lines.size())
        return {kInvalidScript, ScriptFault::kNoTag};
    const std::string& tagLine = lines[tag];

    const AttributeResult args = Attribute(tagLine, "args=");
    if (!args.found)
        return {kInvalidScript, ScriptFault::kNoArgs};
    entry.argCount = Count(args.value);

    const AttributeResult name = Attribute(tagLine, "name=");
    if (!name.found)
        return {kInvalidScript, ScriptFault::kNoName};
    entry.displayName = name.value.substr(0, kNameCapacity);

    entry.eraseTemp = 0;
    const std::string lowerTag = Lower(tagLine);
    const std::size_t erase = lowerTag.find("erase_temp=");
    if (erase != std::string::npos && lowerTag.find("\"true\"", erase) != std::string::npos)
        entry.eraseTemp = 1;

    std::string body;
    std::vector<std::string> declarations;
    for (std::size_t i = tag + 1; i < lines.size(); ++i) {
        // The reader stops once the body holds what its capacity and the shorthand's
        // lookahead (16) can use: declarations after that are never seen.
        if (Lower(TrimSpaces(lines[i])) == "</script>" || body.size() >= kBodyCapacity + 16)
            break;
        const std::string_view line = std::string_view(lines[i]).substr(
            std::min(lines[i].size(), lines[i].find_first_not_of(' ')));
        if (Lower(line.substr(0, 7)) != "<param ")
            body += ConvertLine(lines[i]);
        else if (declarations.size() <= kMostSettings)
            declarations.emplace_back(line.substr(7, kSettingLineCapacity + 1));
    }
    if (entry.argCount == 1)
        body = Shorthand(body);
    entry.body = body.substr(0, kBodyCapacity);
    SettingsRead settings = ReadSettings(declarations, entry.argCount == 1);
    entry.settingLines = declarations;
    entry.settings = settings.settings;
    if (!settings.problem.empty())
        return {kInvalidScript, ScriptFault::kBadSetting, false, settings.problem};
    return {entry.argCount, ScriptFault::kNone};
}

}  // namespace quillon::plain

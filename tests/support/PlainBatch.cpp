#include "support/PlainBatch.h"

#include <algorithm>
#include <optional>

namespace quillon::plain {

namespace {

constexpr std::string_view kBreaks("\r\n\0", 3);

bool HasAny(std::string_view text, std::string_view characters) {
    return text.find_first_of(characters) != std::string_view::npos;
}

std::string TrimEnd(std::string_view text, std::string_view characters) {
    while (!text.empty() && characters.find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    return std::string(text);
}

std::string Trim(std::string_view text, std::string_view characters) {
    while (!text.empty() && characters.find(text.front()) != std::string_view::npos)
        text.remove_prefix(1);
    return TrimEnd(text, characters);
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return text;
}

std::string Unquoted(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

std::string QuotedIf(const std::string& text, std::string_view characters) {
    return HasAny(text, characters) ? '"' + text + '"' : text;
}

std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        pieces.push_back(text.substr(start, end - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

// "::" comments, labels and "rem" remarks, after any blanks, tabs and "@".
bool IsRemark(std::string line) {
    line = Lower(line.substr(std::min(line.find_first_not_of(" \t@"), line.size())));
    const std::string_view wordCharacters = "abcdefghijklmnopqrstuvwxyz0123456789_";
    return line.substr(0, 1) == ":" ||
           (line.substr(0, 3) == "rem" &&
            (line.size() == 3 || wordCharacters.find(line[3]) == std::string_view::npos));
}

// The bytes the interpreter reads for name, when the name and those bytes are one line.
std::optional<std::string> Encoded(std::string_view name, const NameEncoder& encode) {
    if (HasAny(name, kBreaks))
        return std::nullopt;
    std::optional<std::string> bytes = encode ? encode(name) : std::string(name);
    if (!bytes || HasAny(*bytes, kBreaks))
        return std::nullopt;
    return bytes;
}

// The name as encoded, or else one variable per run between percent signs.
std::optional<std::string> Insert(std::string_view name, const std::string& variable,
                                  const NameEncoder& encode,
                                  std::vector<BatchVariable>& variables) {
    if (HasAny(name, kBreaks))
        return std::nullopt;
    if (const std::optional<std::string> bytes = Encoded(name, encode))
        return DoublePercents(*bytes);
    std::string written;
    const std::vector<std::string> pieces = SplitAt(std::string(name), "%");
    for (std::size_t j = 0, n = 0; j < pieces.size(); ++j) {
        written += j > 0 ? "%%" : "";
        if (pieces[j].empty())
            continue;
        const std::string pieceName = ++n == 1 ? variable : variable + "_" + std::to_string(n);
        variables.push_back({pieceName, pieces[j]});
        written += "%" + pieceName + "%";
    }
    return written;
}

struct Split {
    std::string file, base, ext;
    bool blank, quoted;
};

Split SplitPath(std::string_view path) {
    Split s;
    s.file = std::string(path.substr(path.rfind('\\') + 1));
    const std::size_t dot = s.file.rfind('.');
    s.base = s.file.substr(0, dot);
    s.ext = dot == std::string::npos ? "" : s.file.substr(dot + 1);
    s.blank = HasAny(s.base, " ");
    s.quoted = s.blank || HasAny(s.file, "&|<>^");
    return s;
}

SlotValues Slot(std::string base, std::string ext, bool quoted, const BatchPicture& picture) {
    if (quoted) {
        base = "\"" + base;
        ext += "\"";
    }
    return {base, ext, std::to_string(picture.width), std::to_string(picture.height)};
}

// Every word in text replaced by value, the inserted text not searched; tags kept in step.
void ReplaceTagged(std::string& text, std::string& tags, const std::string& word,
                   const std::string& value, char tag) {
    for (std::size_t at = text.find(word); at != std::string::npos;
         at = text.find(word, at + value.size())) {
        text.replace(at, word.size(), value);
        tags.replace(at, word.size(), value.size(), tag);
    }
}

// The replacements; tags gets, for each character, the slot that inserted it (0: the author).
std::string Replaced(std::string_view body, const std::vector<SlotValues>& slots,
                     std::string& tags) {
    std::string text(body);
    tags.assign(text.size(), 0);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string values[] = {slots[i].name, slots[i].ext, slots[i].width, slots[i].height};
        const std::string words[] = {"$NAME", "$EXT", "$WIDTH", "$HEIGHT"};
        for (int k = 0; k < 4; ++k) {
            ReplaceTagged(text, tags, words[k] + std::to_string(i + 1), values[k],
                          static_cast<char>(i + 1));
        }
    }
    return text;
}

// The slot whose command character the interpreter would see outside quotes, or 0.
int Exposed(const std::string& text, const std::string& tags) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            quoted = false;
        else if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && tags[i] != 0 && HasAny(text.substr(i, 1), "&|<>^"))
            return tags[i];
        else if (!quoted && text[i] == '^')
            i += text.substr(i + 1, 2) == "\r\n" ? 2 : 1;
    }
    return 0;
}

BatchPlan Refused(const std::string& name) {
    return {"", "", name, {}};
}

}  // namespace

std::string DoublePercents(std::string_view text) {
    std::string out;
    for (char c : text)
        out += c == '%' ? "%%" : std::string(1, c);
    return out;
}

PictureName PictureNameOf(std::string_view path) {
    const Split s = SplitPath(path);
    const SlotValues slot = Slot(s.base, s.ext, s.quoted, {});
    return {slot.name, slot.ext};
}

std::string ReplacePlaceholders(std::string_view body, const std::vector<SlotValues>& slots) {
    std::string tags;
    return Replaced(body, slots, tags);
}

std::string OutputFileOf(std::string_view body, const std::string& outputFolder) {
    const std::string text = TrimEnd(body, " \t\r\n");
    if (text.find("\r\n") == std::string::npos && text.substr(0, 2) == "::")
        return "";
    const std::string line = SplitAt(text, "\r\n").back();
    const auto quotes = std::count(line.begin(), line.end(), '"');
    std::string word;
    if (quotes % 2 == 1)
        word = line.substr(line.rfind('"') + 1);
    else if (quotes > 0 && line.back() == '"')
        word = line.substr(0, line.size() - 1).substr(line.rfind('"', line.size() - 2) + 1);
    if (!word.empty())
        return outputFolder + word;
    const std::size_t blank = text.rfind(' ');
    return blank == std::string::npos ? "" : outputFolder + text.substr(blank + 1);
}

std::string EraseList(std::string_view body, const std::vector<std::string>& keptNames) {
    std::string list;
    for (const std::string& rawLine : SplitAt(TrimEnd(body, " \t\r\n"), "\r\n")) {
        const std::string line = Trim(rawLine, " \t\r\n");
        if (line.empty() || line.back() == '^' || IsRemark(line))
            continue;
        const std::string word = line.substr(line.rfind(' ') + 1);
        if (std::count(word.begin(), word.end(), '"') % 2 == 1 || HasAny(word, kBreaks))
            continue;
        const std::string name = Unquoted(word);
        if (std::none_of(keptNames.begin(), keptNames.end(), [&](const std::string& kept) {
                return Lower(Unquoted(kept)) == Lower(name);
            }))
            list += "del " + QuotedIf(name, " &|<>^%,;=\t") + "\r\n";
    }
    return list;
}

BatchPlan BuildBatch(std::string_view body, bool eraseTemp,
                     const std::vector<BatchPicture>& pictures, const std::string& outputFolder,
                     const NameEncoder& encode) {
    std::vector<BatchVariable> variables;
    const std::optional<std::string> folder =
        Insert(outputFolder, "QUILLON_FOLDER", encode, variables);
    const std::string driveName = outputFolder.substr(0, 2);
    const std::optional<std::string> drive = Insert(driveName, "QUILLON_DRIVE", encode, variables);
    if (!folder || !drive || HasAny(driveName, "&|<>^"))
        return Refused(outputFolder);
    const std::string cd = variables.empty() ? QuotedIf(*folder, " &|<>^") : '"' + *folder + '"';

    std::vector<SlotValues> shown, written;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const Split s = SplitPath(pictures[i].path);
        const std::optional<std::string> base =
            Insert(s.base, "QUILLON_NAME" + std::to_string(i + 1), encode, variables);
        const std::optional<std::string> ext =
            Insert(s.ext, "QUILLON_EXT" + std::to_string(i + 1), encode, variables);
        if (!base || !ext)
            return Refused(s.file);
        shown.push_back(Slot(s.base, s.ext, s.blank, pictures[i]));
        written.push_back(Slot(*base, *ext, s.quoted, pictures[i]));
        kept.push_back(*base + "." + *ext);
    }

    const std::string trimmed = Trim(body, " ");
    std::string tags;
    const std::string batchBody = Replaced(trimmed, written, tags);
    int exposed = Exposed(batchBody, tags);
    // The line as the interpreter reads it: each reference replaced by its value.
    std::string expanded = batchBody;
    for (const BatchVariable& variable : variables) {
        const std::size_t digit = variable.name.find_first_of("1234");
        ReplaceTagged(
            expanded, tags, "%" + variable.name + "%", variable.value,
            digit == std::string::npos ? 0 : static_cast<char>(variable.name[digit] - '0'));
    }
    if (exposed == 0 && !variables.empty())
        exposed = Exposed(expanded, tags);
    if (exposed != 0)
        return Refused(SplitPath(pictures[static_cast<std::size_t>(exposed) - 1].path).file);

    BatchPlan plan;
    plan.outputFile = OutputFileOf(plain::ReplacePlaceholders(trimmed, shown), outputFolder);
    plan.text = *drive + "\r\nCD " + cd + "\r\n" + batchBody + "\r\n";
    if (eraseTemp && !plan.outputFile.empty()) {
        kept.push_back(OutputFileOf(batchBody, ""));
        for (const BatchPicture& picture : pictures) {
            std::vector<std::string> names = {SplitPath(picture.path).file, picture.path};
            if (Lower(picture.path.substr(0, outputFolder.size())) == Lower(outputFolder))
                names.push_back(picture.path.substr(outputFolder.size()));
            for (const std::string& name : names) {
                kept.push_back(name);
                kept.push_back(DoublePercents(name));
                if (const std::optional<std::string> bytes = Encoded(name, encode)) {
                    kept.push_back(*bytes);
                    kept.push_back(DoublePercents(*bytes));
                }
            }
        }
        const std::string list = EraseList(batchBody, kept);
        if (!list.empty())
            plan.text += list + "\r\n";
    }
    plan.variables = variables;
    return plan;
}

}  // namespace quillon::plain

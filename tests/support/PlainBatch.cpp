#include "support/PlainBatch.h"

#include <algorithm>
#include <optional>

namespace quillon::plain {

namespace {

constexpr std::string_view kBreaks("\r\n\0", 3);
// What no inserted name may hold: a line break, a NUL or a double quote.
constexpr std::string_view kUnwritable("\r\n\0\"", 4);

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

// The bytes the interpreter reads for name, when neither they nor the name hold kUnwritable.
std::optional<std::string> Encoded(std::string_view name, const NameEncoder& encode) {
    if (HasAny(name, kUnwritable))
        return std::nullopt;
    std::optional<std::string> bytes = encode ? encode(name) : std::string(name);
    if (!bytes || HasAny(*bytes, kUnwritable))
        return std::nullopt;
    return bytes;
}

// The name as encoded, or else one variable per run between percent signs.
std::optional<std::string> Insert(std::string_view name, const std::string& variable,
                                  const NameEncoder& encode,
                                  std::vector<BatchVariable>& variables) {
    if (HasAny(name, kUnwritable))
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
    bool quoted;
};

Split SplitPath(std::string_view path) {
    Split s;
    s.file = std::string(path.substr(path.rfind('\\') + 1));
    const std::size_t dot = s.file.rfind('.');
    s.base = s.file.substr(0, dot);
    s.ext = dot == std::string::npos ? "" : s.file.substr(dot + 1);
    s.quoted = HasAny(s.file, " \t&|<>^");
    return s;
}

// The texts of one slot, each with the tag its bytes get: 'a' to 'd' for slots 1 to 4, in
// capitals where the bytes must reach the interpreter inside quotes.
struct Value {
    std::string text;
    char tag;
};

// Every word in text replaced by value, the inserted text not searched; tags kept in step
// (0: the author's byte).
void ReplaceTagged(std::string& text, std::string& tags, const std::string& word,
                   const Value& value) {
    for (std::size_t at = text.find(word); at != std::string::npos;
         at = text.find(word, at + value.text.size())) {
        text.replace(at, word.size(), value.text);
        tags.replace(at, word.size(), value.text.size(), value.tag);
    }
}

std::string Replaced(std::string_view body, const std::vector<std::vector<Value>>& slots,
                     std::string& tags) {
    std::string text(body);
    tags.assign(text.size(), 0);
    const std::string words[] = {"$NAME", "$EXT", "$WIDTH", "$HEIGHT"};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        for (int k = 0; k < 4; ++k)
            ReplaceTagged(text, tags, words[k] + std::to_string(i + 1), slots[i][k]);
    }
    return text;
}

bool Guarded(char tag) {
    return tag >= 'A' && tag <= 'D';
}

int SlotOf(char tag) {
    return Guarded(tag) ? tag - 'A' + 1 : tag - 'a' + 1;
}

// One line (no LF) of the replaced body with quotes round each stretch that holds a guarded
// byte and none of the author's quotes or carets. Stretches end at the author's blanks, tabs,
// CRs, & | < > outside quotes; a caret outside quotes takes the next byte into its stretch.
void QuoteLine(std::string& line, std::string& tags) {
    std::vector<bool> ends(line.size(), false), syntax(line.size(), false);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool own = tags[i] == 0;
        if (!quoted && own && HasAny(line.substr(i, 1), std::string_view(" \t\r&|<>"))) {
            ends[i] = true;
        } else if (line[i] == '"') {
            quoted = !quoted;
            syntax[i] = true;
        } else if (!quoted && own && line[i] == '^') {
            syntax[i] = true;
            ++i;
        }
    }
    // From the back, so that the positions still to come stay where they were.
    for (std::size_t end = line.size(); end > 0;) {
        if (ends[end - 1]) {
            --end;
            continue;
        }
        std::size_t start = end;
        while (start > 0 && !ends[start - 1])
            --start;
        bool guarded = false, own = false;
        for (std::size_t i = start; i < end; ++i) {
            guarded = guarded || Guarded(tags[i]);
            own = own || syntax[i];
        }
        if (guarded && !own) {
            line.insert(end, 1, '"');
            line.insert(start, 1, '"');
            tags.insert(end, 1, '\0');
            tags.insert(start, 1, '\0');
        }
        end = start;
    }
}

std::string QuoteStretches(const std::string& text, std::string& tags) {
    std::string out, outTags;
    std::size_t start = 0;
    for (const std::string& piece : SplitAt(text, "\n")) {
        std::string line = piece, lineTags = tags.substr(start, piece.size());
        QuoteLine(line, lineTags);
        out += (start > 0 ? "\n" : "") + line;
        outTags += (start > 0 ? std::string(1, '\0') : "") + lineTags;
        start += piece.size() + 1;
    }
    tags = outTags;
    return out;
}

// The slot of a guarded byte the interpreter would read outside quotes, or 0. It drops every
// CR first; a caret outside quotes makes the next byte plain but leaves a guarded byte
// exposed. A caret before a line feed joins the next line, whose first byte is plain for
// Windows (startsPlain) and not for Wine.
int ExposedToInterpreter(const std::string& text, const std::string& tags, bool startsPlain) {
    std::string t, g;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            t += text[i];
            g += tags[i];
        }
    }
    bool quoted = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\n') {
            quoted = false;
        } else if (t[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && Guarded(g[i])) {
            return SlotOf(g[i]);
        } else if (!quoted && t[i] == '^') {
            if (i + 1 < t.size() && t[i + 1] == '\n') {
                ++i;
                if (!startsPlain)
                    continue;
            }
            ++i;
            if (i < t.size() && Guarded(g[i]))
                return SlotOf(g[i]);
        }
    }
    return 0;
}

// The same for the program, where every quote counts, or failing that 0.
int ExposedToProgram(const std::string& text, const std::string& tags) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        quoted = text[i] == '\n' ? false : text[i] == '"' ? !quoted : quoted;
        if (!quoted && Guarded(tags[i]))
            return SlotOf(tags[i]);
    }
    return 0;
}

int Exposed(const std::string& text, const std::string& tags) {
    if (const int slot = ExposedToInterpreter(text, tags, true))
        return slot;
    if (const int slot = ExposedToInterpreter(text, tags, false))
        return slot;
    return ExposedToProgram(text, tags);
}

// The words of text: split at blanks and tabs outside quotes; quotes end with each line feed.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words(1);
    bool quoted = false;
    for (char c : text) {
        if (!quoted && (c == ' ' || c == '\t')) {
            words.emplace_back();
            continue;
        }
        if (c == '\n')
            quoted = false;
        else if (c == '"')
            quoted = !quoted;
        words.back() += c;
    }
    return words;
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
    return {s.base, s.ext, s.quoted};
}

std::string ReplacePlaceholders(std::string_view body, const std::vector<SlotValues>& slots) {
    std::vector<std::vector<Value>> values;
    for (const SlotValues& slot : slots)
        values.push_back(
            {{slot.name, 'a'}, {slot.ext, 'a'}, {slot.width, 'a'}, {slot.height, 'a'}});
    std::string tags;
    return Replaced(body, values, tags);
}

std::string OutputFileOf(std::string_view body, const std::string& outputFolder) {
    const std::string text = TrimEnd(body, " \t\r\n");
    if (text.find("\r\n") == std::string::npos && text.substr(0, 2) == "::")
        return "";
    const std::vector<std::string> words = Words(text);
    const std::string name = Unquoted(words.back());
    return words.size() < 2 || name.empty() ? "" : outputFolder + name;
}

std::string EraseList(std::string_view body, const std::vector<std::string>& keptNames) {
    std::string list;
    for (const std::string& rawLine : SplitAt(TrimEnd(body, " \t\r\n"), "\r\n")) {
        const std::string line = Trim(rawLine, " \t\r\n");
        if (line.empty() || line.back() == '^' || IsRemark(line))
            continue;
        const std::string word = Words(line).back();
        if (std::count(word.begin(), word.end(), '"') % 2 == 1 || HasAny(word, kBreaks))
            continue;
        const std::string name = Unquoted(word);
        if (!name.empty() &&
            std::none_of(keptNames.begin(), keptNames.end(), [&](const std::string& kept) {
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
    if (!folder)
        return Refused(outputFolder);

    std::vector<std::vector<Value>> shown, written;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const Split s = SplitPath(pictures[i].path);
        const std::optional<std::string> base =
            Insert(s.base, "QUILLON_NAME" + std::to_string(i + 1), encode, variables);
        const std::optional<std::string> ext =
            Insert(s.ext, "QUILLON_EXT" + std::to_string(i + 1), encode, variables);
        if (!base || !ext)
            return Refused(s.file);
        const bool quoted = s.quoted || HasAny(*base + *ext, " \t&|<>^");
        const char name = static_cast<char>((quoted ? 'A' : 'a') + i);
        const Value width{std::to_string(pictures[i].width), static_cast<char>('a' + i)};
        const Value height{std::to_string(pictures[i].height), static_cast<char>('a' + i)};
        shown.push_back({{s.base, name}, {s.ext, name}, width, height});
        written.push_back({{*base, name}, {*ext, name}, width, height});
        kept.push_back(*base + "." + *ext);
    }

    const std::string trimmed = Trim(body, " ");
    std::string tags;
    const std::string batchBody = QuoteStretches(Replaced(trimmed, written, tags), tags);
    if (const int exposed = Exposed(batchBody, tags))
        return Refused(SplitPath(pictures[static_cast<std::size_t>(exposed) - 1].path).file);

    BatchPlan plan;
    plan.outputFile =
        OutputFileOf(QuoteStretches(Replaced(trimmed, shown, tags), tags), outputFolder);
    plan.text = "pushd \"" + *folder + "\" & if errorlevel 1 exit /b 1\r\n" + batchBody + "\r\n";
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
    plan.text += "popd\r\n";
    plan.variables = variables;
    return plan;
}

}  // namespace quillon::plain

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

SlotValues Slot(std::string base, std::string ext, const BatchPicture& picture) {
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

// The replacements; tags gets, for each character, the slot that inserted it (0: the author),
// plus 4 in a name or extension of a slot whose names go inside quotes.
std::string Replaced(std::string_view body, const std::vector<SlotValues>& slots, std::string& tags,
                     const std::vector<bool>& quoted = {}) {
    std::string text(body);
    tags.assign(text.size(), 0);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string values[] = {slots[i].name, slots[i].ext, slots[i].width, slots[i].height};
        const std::string words[] = {"$NAME", "$EXT", "$WIDTH", "$HEIGHT"};
        for (std::size_t k = 0; k < 4; ++k) {
            const bool guarded = k < 2 && i < quoted.size() && quoted[i];
            ReplaceTagged(text, tags, words[k] + std::to_string(i + 1), values[k],
                          static_cast<char>(i + 1 + (guarded ? 4 : 0)));
        }
    }
    return text;
}

bool Guarded(char tag) {
    return tag > 4;
}

// Quotes round each stretch of the replaced body that holds a guarded byte and none of the
// author's quotes or carets. Stretches end at line feeds and at the author's blanks, tabs,
// CRs, & | < > outside quotes; a caret outside quotes takes the next byte into its stretch.
std::string QuoteStretches(std::string text, std::string& tags) {
    std::vector<bool> ends(text.size(), false), syntax(text.size(), false);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool own = tags[i] == 0;
        ends[i] = text[i] == '\n' || (!quoted && own && HasAny(text.substr(i, 1), " \t\r&|<>"));
        quoted = text[i] == '\n' ? false : text[i] == '"' ? !quoted : quoted;
        syntax[i] = text[i] == '"' || (!quoted && own && text[i] == '^');
        if (syntax[i] && text[i] == '^' && i + 1 < text.size() && text[i + 1] != '\n')
            ++i;
    }
    // From the back, so that the positions still to come stay where they were.
    for (std::size_t end = text.size(), start; end > 0; end = start) {
        for (start = end; start > 0 && !ends[start - 1];)
            --start;
        bool guarded = false, own = false;
        for (std::size_t i = start; i < end; ++i) {
            guarded = guarded || Guarded(tags[i]);
            own = own || syntax[i];
        }
        if (guarded && !own) {
            text.insert(end, 1, '"');
            text.insert(start, 1, '"');
            tags.insert(end, 1, '\0');
            tags.insert(start, 1, '\0');
        }
        start -= start > 0 ? 1 : 0;
    }
    return text;
}

// The slot of a guarded byte read outside quotes, or 0, as the interpreter reads the text
// (reader 0: Windows', 1: Wine's) or the program (2). The interpreter drops every CR first; a
// caret outside quotes makes the next byte plain for it but leaves a guarded byte exposed. A
// caret before a line feed joins the next line, whose first byte is plain for Windows only.
int Exposed(const std::string& text, const std::string& tags, int reader) {
    std::string t, g;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            t += text[i];
            g += tags[i];
        }
    }
    bool quoted = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!quoted && t[i] == '^' && !Guarded(g[i]) && reader < 2) {
            const bool joins = i + 1 < t.size() && t[i + 1] == '\n';
            i += joins ? 2 : 1;
            if (joins && reader == 1)
                --i;
            else if (i < t.size() && Guarded(g[i]))
                return g[i] - 4;
            continue;
        }
        quoted = t[i] == '\n' ? false : t[i] == '"' ? !quoted : quoted;
        if (!quoted && Guarded(g[i]))
            return g[i] - 4;
    }
    return 0;
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
    std::string tags;
    return Replaced(body, slots, tags);
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

    std::vector<SlotValues> shown, written;
    std::vector<std::string> kept;
    std::vector<bool> quoted;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const Split s = SplitPath(pictures[i].path);
        const std::optional<std::string> base =
            Insert(s.base, "QUILLON_NAME" + std::to_string(i + 1), encode, variables);
        const std::optional<std::string> ext =
            Insert(s.ext, "QUILLON_EXT" + std::to_string(i + 1), encode, variables);
        if (!base || !ext)
            return Refused(s.file);
        quoted.push_back(s.quoted || HasAny(*base + *ext, " \t&|<>^"));
        shown.push_back(Slot(s.base, s.ext, pictures[i]));
        written.push_back(Slot(*base, *ext, pictures[i]));
        kept.push_back(*base + "." + *ext);
    }

    const std::string trimmed = Trim(body, " ");
    std::string tags;
    const std::string batchBody = QuoteStretches(Replaced(trimmed, written, tags, quoted), tags);
    for (int reader = 0; reader < 3; ++reader) {
        if (const int slot = Exposed(batchBody, tags, reader))
            return Refused(SplitPath(pictures[static_cast<std::size_t>(slot) - 1].path).file);
    }

    BatchPlan plan;
    plan.outputFile =
        OutputFileOf(QuoteStretches(Replaced(trimmed, shown, tags, quoted), tags), outputFolder);
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

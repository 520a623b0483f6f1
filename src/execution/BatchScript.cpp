#include "execution/BatchScript.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "base/Text.h"
#include "execution/QuotePath.h"

namespace quillon {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kLineSpace[] = " \t\r\n";
// Outside quotes the command interpreter ends a word at a blank or tab and reads the others
// as command separators, pipes, redirections or its escape character.
constexpr char kNeedingQuotes[] = " \t&|<>^";
// Where the author's own text, outside quotes, ends the stretch a name is quoted with.
constexpr char kStretchEnds[] = " \t\r\n&|<>";
constexpr char kPlaceholderWords[][8] = {"$NAME", "$EXT", "$WIDTH", "$HEIGHT"};

std::string_view TrimEnd(std::string_view text, const char* characters) {
    const std::size_t kept = text.find_last_not_of(characters);
    return text.substr(0, kept == std::string_view::npos ? 0 : kept + 1);
}

std::string_view Trim(std::string_view text, const char* characters) {
    const std::size_t start = text.find_first_not_of(characters);
    return start == std::string_view::npos ? std::string_view()
                                           : TrimEnd(text.substr(start), characters);
}

bool Holds(std::string_view text, const char* characters) {
    return text.find_first_of(characters) != std::string_view::npos;
}

bool IsWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string WithoutQuotes(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != '"')
            out += c;
    }
    return out;
}

// Two batch words for the same file as Windows sees them: neither quotes nor ASCII case count.
bool SameUnquotedName(std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(WithoutQuotes(a), WithoutQuotes(b));
}

// A line the interpreter never executes: a label or "::" comment, or a "rem" remark.
bool IsCommentLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t@");
    line = start == std::string_view::npos ? std::string_view() : line.substr(start);
    if (!line.empty() && line[0] == ':')
        return true;
    return StartsWithIgnoringAsciiCase(line, "rem") &&
           (line.size() == 3 || !IsWordCharacter(line[3]));
}

bool IsOneOf(char c, std::string_view characters) {
    return characters.find(c) != std::string_view::npos;
}

// A line break or NUL inside a name would end the batch line and run the rest of the name.
bool IsSingleLine(std::string_view text) {
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}

// A name the batch can carry: on one line, and without a double quote, which would open or
// close the quotes that keep it one word. Windows allows neither in a file name.
bool IsWritable(std::string_view name) {
    return IsSingleLine(name) && name.find('"') == std::string_view::npos;
}

// The bytes that stand for an inserted name in the batch, or nothing when there are none.
std::optional<std::string> EncodeName(std::string_view name, const NameEncoder& encode) {
    if (!IsWritable(name))
        return std::nullopt;
    std::optional<std::string> bytes = encode ? encode(name) : std::string(name);
    if (!bytes || !IsWritable(*bytes))
        return std::nullopt;
    return bytes;
}

// References to new variables that hold text, its percent signs left in the line.
std::string VariableInsertion(std::string_view name, const std::string& variable,
                              std::vector<BatchVariable>& variables) {
    // One variable for each run of the name between percent signs, which stay in the line,
    // doubled: some interpreters (Wine's) expand a percent sign inside a value once more.
    std::string written;
    int pieces = 0;
    for (std::size_t start = 0;;) {
        const std::size_t percent = name.find('%', start);
        const std::string_view piece =
            name.substr(start, percent == std::string_view::npos ? percent : percent - start);
        if (!piece.empty()) {
            ++pieces;
            const std::string pieceName =
                pieces == 1 ? variable : variable + '_' + std::to_string(pieces);
            variables.push_back({pieceName, std::string(piece)});
            written += '%' + pieceName + '%';
        }
        if (percent == std::string_view::npos)
            return written;
        written += "%%";
        start = percent + 1;
    }
}

// What the batch carries for an inserted name, percent signs doubled: the name in the
// interpreter's bytes, or references to new variables that hold it. Nothing for a name that
// would break its line or its quotes either way.
std::optional<std::string> Insertion(std::string_view name, const std::string& variable,
                                     const NameEncoder& encode,
                                     std::vector<BatchVariable>& variables) {
    if (!IsWritable(name))
        return std::nullopt;
    if (const std::optional<std::string> bytes = EncodeName(name, encode))
        return DoublePercents(*bytes);
    return VariableInsertion(name, variable, variables);
}

struct NameParts {
    std::string_view fileName;
    std::string_view baseName;
    std::string_view extension;
    bool quoted = false;  // in the batch
};

NameParts SplitPicturePath(std::string_view path) {
    NameParts parts;
    parts.fileName = FileNameOf(path);
    const std::size_t dot = parts.fileName.rfind('.');
    parts.baseName = parts.fileName.substr(0, dot);
    if (dot != std::string_view::npos)
        parts.extension = parts.fileName.substr(dot + 1);
    parts.quoted = Holds(parts.fileName, kNeedingQuotes);
    return parts;
}

// What the body knows of each of its bytes: the slot whose placeholder put it there (0: the
// author's own text), and whether it belongs to a name that must reach the interpreter inside
// quotes.
struct Mark {
    int slot = 0;
    bool guarded = false;
};

// The text that replaces one placeholder.
struct Inserted {
    std::string text;
    bool guarded = false;
};
using SlotTexts = std::array<Inserted, 4>;  // $NAMEi, $EXTi, $WIDTHi, $HEIGHTi

// Replaces every occurrence of word, left to right, without looking into what it inserts.
// marks, when given, is kept in step with text.
void ReplaceWord(std::string& text, std::vector<Mark>* marks, const std::string& word,
                 const Inserted& value, int slot) {
    std::string out;
    std::vector<Mark> outMarks;
    std::size_t start = 0;
    for (std::size_t hit = text.find(word); hit != std::string::npos;
         hit = text.find(word, start)) {
        out.append(text, start, hit - start).append(value.text);
        if (marks != nullptr) {
            outMarks.insert(outMarks.end(), marks->begin() + static_cast<std::ptrdiff_t>(start),
                            marks->begin() + static_cast<std::ptrdiff_t>(hit));
            outMarks.insert(outMarks.end(), value.text.size(), Mark{slot, value.guarded});
        }
        start = hit + word.size();
    }
    out.append(text, start, std::string::npos);
    if (marks != nullptr) {
        outMarks.insert(outMarks.end(), marks->begin() + static_cast<std::ptrdiff_t>(start),
                        marks->end());
        marks->swap(outMarks);
    }
    text.swap(out);
}

// Settings are marked from this slot on, so that a refusal can tell them from pictures.
constexpr int kFirstSettingSlot = 100;

struct SettingText {
    std::string name;
    Inserted value;
};

// Replaces "$" and a setting's name, left to right, by its value, trying the longest names
// first; what it inserts is not searched again. marks is set in step with the result.
std::string ReplaceSettings(std::string_view body, const std::vector<SettingText>& settings,
                            std::vector<Mark>& marks) {
    std::vector<std::size_t> longestFirst(settings.size());
    for (std::size_t i = 0; i < settings.size(); ++i)
        longestFirst[i] = i;
    std::stable_sort(longestFirst.begin(), longestFirst.end(), [&](std::size_t a, std::size_t b) {
        return settings[a].name.size() > settings[b].name.size();
    });
    std::string text;
    marks.clear();
    for (std::size_t i = 0; i < body.size();) {
        std::optional<std::size_t> hit;
        if (body[i] == '$') {
            for (std::size_t k : longestFirst) {
                if (!settings[k].name.empty() &&
                    body.substr(i + 1, settings[k].name.size()) == settings[k].name) {
                    hit = k;
                    break;
                }
            }
        }
        if (!hit) {
            text += body[i++];
            marks.emplace_back();
            continue;
        }
        const Inserted& value = settings[*hit].value;
        text += value.text;
        // An unguarded value is the author's own text, as if written in the body.
        marks.insert(
            marks.end(), value.text.size(),
            value.guarded ? Mark{kFirstSettingSlot + static_cast<int>(*hit), true} : Mark{});
        i += 1 + settings[*hit].name.size();
    }
    return text;
}

// The placeholders of every slot replaced in text, whose marks (when given) are in step.
std::string ReplaceAllSlots(std::string text, const std::vector<SlotTexts>& slots,
                            std::vector<Mark>* marks) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        const std::string index = std::to_string(slot);
        for (std::size_t k = 0; k < slots[i].size(); ++k)
            ReplaceWord(text, marks, kPlaceholderWords[k] + index, slots[i][k], slot);
    }
    return text;
}

// Puts quotes round every stretch of the body that holds a guarded name, so that a name with
// a blank stays one word and its command characters stay plain text. A stretch runs between
// the author's blanks, tabs, line ends and & | < > outside quotes (what the author separates
// stays separate); one that holds the author's own quote or caret is left as it is, since
// quotes round it would change what those mean: FirstExposedSlot then judges it.
void QuoteStretches(std::string& text, std::vector<Mark>& marks) {
    std::string out;
    std::vector<Mark> outMarks;
    bool quoted = false;
    const auto endsStretch = [&](std::size_t i) {
        return text[i] == '\n' || (!quoted && marks[i].slot == 0 && IsOneOf(text[i], kStretchEnds));
    };
    for (std::size_t i = 0; i < text.size();) {
        if (endsStretch(i)) {
            quoted = quoted && text[i] != '\n';
            out += text[i];
            outMarks.push_back(marks[i++]);
            continue;
        }
        const std::size_t start = i;
        bool guarded = false;
        bool authorsSyntax = false;
        for (; i < text.size() && !endsStretch(i); ++i) {
            guarded = guarded || marks[i].guarded;
            if (text[i] == '"') {
                quoted = !quoted;
                authorsSyntax = true;
            } else if (!quoted && marks[i].slot == 0 && text[i] == '^') {
                authorsSyntax = true;
                // The escaped character is plain text, a quote or blank included.
                if (i + 1 < text.size() && text[i + 1] != '\n')
                    ++i;
            }
        }
        const bool wrap = guarded && !authorsSyntax;
        if (wrap) {
            out += '"';
            outMarks.emplace_back();
        }
        out.append(text, start, i - start);
        outMarks.insert(outMarks.end(), marks.begin() + static_cast<std::ptrdiff_t>(start),
                        marks.begin() + static_cast<std::ptrdiff_t>(i));
        if (wrap) {
            out += '"';
            outMarks.emplace_back();
        }
    }
    text.swap(out);
    marks.swap(outMarks);
}

// The slot of the first guarded name that reaches the interpreter outside quotes, or 0.
// Quotes open and close as the interpreter reads them, up to each line's end; a caret outside
// quotes makes the next character plain, and protects no name: a blank it escapes still ends
// the program's word. After a caret that continues the line, Windows' interpreter makes the
// next line's first character plain too, Wine's does not.
int FirstSlotExposedToTheInterpreter(const std::string& text, const std::vector<Mark>& marks,
                                     bool continuedLineStartsPlain) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            quoted = false;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && marks[i].guarded) {
            return marks[i].slot;
        } else if (!quoted && c == '^') {
            // The interpreter drops every CR before it looks at carets.
            std::size_t next = i + 1;
            while (next < text.size() && text[next] == '\r')
                ++next;
            if (next < text.size() && text[next] == '\n') {
                for (++next; next < text.size() && text[next] == '\r';)
                    ++next;
                if (!continuedLineStartsPlain) {
                    i = next - 1;
                    continue;
                }
            }
            if (next < text.size() && marks[next].guarded)
                return marks[next].slot;
            i = next;
        }
    }
    return 0;
}

// The same as the program reads its arguments: the interpreter has taken the carets away, so
// a quote the author escaped for it opens or closes the program's quotes all the same.
int FirstSlotExposedToTheProgram(const std::string& text, const std::vector<Mark>& marks) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            quoted = false;
        else if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && marks[i].guarded)
            return marks[i].slot;
    }
    return 0;
}

// A name must be safe with either interpreter and with the program.
int FirstExposedSlot(const std::string& text, const std::vector<Mark>& marks) {
    for (const bool continuedLineStartsPlain : {true, false}) {
        if (const int slot =
                FirstSlotExposedToTheInterpreter(text, marks, continuedLineStartsPlain))
            return slot;
    }
    return FirstSlotExposedToTheProgram(text, marks);
}

// Where the last word of text starts: after its last blank or tab outside quotes (a quoted
// stretch belongs to its word; quotes end with each line), or npos when it has none.
std::size_t LastWordStart(std::string_view text) {
    std::size_t start = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            quoted = false;
        else if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && (text[i] == ' ' || text[i] == '\t'))
            start = i + 1;
    }
    return start;
}

// Every spelling under which a body word could name this file: as Quillon inserts it (with
// doubled percent signs and in the interpreter's bytes) or as an author might write it.
void AddSpellings(std::vector<std::string>& names, std::string_view name,
                  const NameEncoder& encode) {
    names.emplace_back(name);
    names.push_back(DoublePercents(name));
    if (const std::optional<std::string> bytes = EncodeName(name, encode)) {
        names.push_back(*bytes);
        names.push_back(DoublePercents(*bytes));
    }
}

BatchPlan Unwritable(std::string_view name) {
    BatchPlan plan;
    plan.unwritableName = std::string(name);
    return plan;
}

}  // namespace

PictureName PictureNameOf(std::string_view path) {
    const NameParts parts = SplitPicturePath(path);
    return {std::string(parts.baseName), std::string(parts.extension), parts.quoted};
}

std::string ReplacePlaceholders(std::string_view body, const std::vector<SlotValues>& slots) {
    std::vector<SlotTexts> texts;
    for (const SlotValues& slot : slots)
        texts.push_back({Inserted{slot.name}, {slot.ext}, {slot.width}, {slot.height}});
    return ReplaceAllSlots(std::string(body), texts, nullptr);
}

std::string OutputFileOf(std::string_view body, const std::string& outputFolder) {
    const std::string_view trimmed = TrimEnd(body, kLineSpace);
    if (trimmed.find(kLineEnd) == std::string_view::npos && trimmed.substr(0, 2) == "::")
        return std::string();
    const std::size_t start = LastWordStart(trimmed);
    if (start == std::string_view::npos)
        return std::string();
    // Quoted or not, the word names the same file; a word of quotes alone names none.
    const std::string name = WithoutQuotes(trimmed.substr(start));
    return name.empty() ? std::string() : outputFolder + name;
}

std::string EraseList(std::string_view body, const std::vector<std::string>& keptNames) {
    std::string list;
    std::string_view rest = TrimEnd(body, kLineSpace);
    while (!rest.empty()) {
        const std::size_t end = rest.find(kLineEnd);
        const std::string_view line = Trim(rest.substr(0, end), kLineSpace);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
        if (line.empty() || line.back() == '^' || IsCommentLine(line))
            continue;
        const std::size_t start = LastWordStart(line);
        const std::string_view word = line.substr(start == std::string_view::npos ? 0 : start);
        // A quote the author left open: the interpreter's word runs on into the blanks that
        // were trimmed off the line, so this one may be only part of it.
        if (std::count(word.begin(), word.end(), '"') % 2 != 0)
            continue;
        // No file has a line break in its name, and on a del line it would run the rest.
        if (!IsSingleLine(word))
            continue;
        bool kept = false;
        for (const std::string& name : keptNames)
            kept = kept || SameUnquotedName(word, name);
        const std::string name = WithoutQuotes(word);
        if (kept || name.empty())
            continue;
        // del reads a comma, semicolon, equals sign or tab as the end of one name and the
        // start of another, which it would delete as well.
        list += "del " + (Holds(name, "%,;=\t") ? '"' + name + '"' : QuotePath(name)) + kLineEnd;
    }
    return list;
}

BatchPlan BuildBatch(std::string_view body, bool eraseTemp,
                     const std::vector<BatchPicture>& pictures, const std::string& outputFolder,
                     const NameEncoder& encode, const std::vector<SettingValue>& settings) {
    std::vector<BatchVariable> variables;
    const std::optional<std::string> folder =
        Insertion(outputFolder, "QUILLON_FOLDER", encode, variables);
    if (!folder)
        return Unwritable(outputFolder);

    // A typed text is never batch text: the interpreter reads a variable's value after it has
    // split the line, and only inside quotes does nothing in it act as syntax, so the text is
    // always guarded. The output's name is read with the text itself.
    std::vector<SettingText> shownSettings;
    std::vector<SettingText> batchSettings;
    for (const SettingValue& setting : settings) {
        if (!setting.typed) {
            shownSettings.push_back({setting.name, Inserted{setting.text}});
            batchSettings.push_back(shownSettings.back());
            continue;
        }
        if (!IsWritable(setting.text))
            return Unwritable(setting.text);
        shownSettings.push_back({setting.name, Inserted{setting.text, true}});
        batchSettings.push_back(
            {setting.name,
             Inserted{VariableInsertion(setting.text, "QUILLON_SET_" + setting.name, variables),
                      true}});
    }

    std::vector<SlotTexts> shownSlots;
    std::vector<SlotTexts> batchSlots;
    std::vector<std::string> writtenNames;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const BatchPicture& picture = pictures[i];
        const NameParts parts = SplitPicturePath(picture.path);
        const std::string index = std::to_string(i + 1);
        const std::optional<std::string> baseName =
            Insertion(parts.baseName, "QUILLON_NAME" + index, encode, variables);
        const std::optional<std::string> extension =
            Insertion(parts.extension, "QUILLON_EXT" + index, encode, variables);
        if (!baseName || !extension)
            return Unwritable(parts.fileName);
        // Quoted wherever it goes when the interpreter would split it or read syntax in it, as
        // the user has it or as the batch writes it.
        const bool guarded =
            parts.quoted || Holds(*baseName, kNeedingQuotes) || Holds(*extension, kNeedingQuotes);
        const Inserted width{std::to_string(picture.width)};
        const Inserted height{std::to_string(picture.height)};
        writtenNames.push_back(*baseName + '.' + *extension);
        shownSlots.push_back({Inserted{std::string(parts.baseName), guarded},
                              Inserted{std::string(parts.extension), guarded}, width, height});
        batchSlots.push_back(
            {Inserted{*baseName, guarded}, Inserted{*extension, guarded}, width, height});
    }

    const std::string_view trimmedBody = Trim(body, " ");
    std::vector<Mark> marks;
    std::string batchBody =
        ReplaceAllSlots(ReplaceSettings(trimmedBody, batchSettings, marks), batchSlots, &marks);
    QuoteStretches(batchBody, marks);
    if (const int exposed = FirstExposedSlot(batchBody, marks); exposed >= kFirstSettingSlot)
        return Unwritable(settings[static_cast<std::size_t>(exposed - kFirstSettingSlot)].text);
    else if (exposed != 0)
        return Unwritable(
            SplitPicturePath(pictures[static_cast<std::size_t>(exposed) - 1].path).fileName);

    BatchPlan plan;
    // The output name is for the file system, so it is read from the names as the user has
    // them (quoted the same way), not as the interpreter reads them.
    std::string shownBody =
        ReplaceAllSlots(ReplaceSettings(trimmedBody, shownSettings, marks), shownSlots, &marks);
    QuoteStretches(shownBody, marks);
    plan.outputFile = OutputFileOf(shownBody, outputFolder);
    // pushd changes the drive as well, and reaches a network folder through a drive letter it
    // maps until popd. Where it fails, the batch ends before anything runs or is deleted in
    // the folder it was started in; pushd's complaint makes the run an error. pushd sets the
    // error level either way; "||" would do, but Wine's interpreter runs what follows it
    // whether or not pushd failed.
    plan.text = "pushd \"" + *folder + "\" & if errorlevel 1 exit /b 1" + kLineEnd;
    plan.text += batchBody + kLineEnd;
    if (eraseTemp && !plan.outputFile.empty()) {
        std::vector<std::string> keptNames = {OutputFileOf(batchBody, std::string())};
        keptNames.insert(keptNames.end(), writtenNames.begin(), writtenNames.end());
        for (const BatchPicture& picture : pictures) {
            AddSpellings(keptNames, SplitPicturePath(picture.path).fileName, encode);
            AddSpellings(keptNames, picture.path, encode);
            if (StartsWithIgnoringAsciiCase(picture.path, outputFolder))
                AddSpellings(keptNames, std::string_view(picture.path).substr(outputFolder.size()),
                             encode);
        }
        const std::string eraseList = EraseList(batchBody, keptNames);
        if (!eraseList.empty())
            plan.text += eraseList + kLineEnd;
    }
    plan.text += std::string("popd") + kLineEnd;
    plan.variables = std::move(variables);
    return plan;
}

std::string DoublePercents(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

std::optional<std::string> PolicyOutputFolder(const OutputPolicy& policy,
                                              const std::vector<BatchPicture>& pictures,
                                              const std::string& programFolder) {
    switch (pictures.empty() ? policy.withoutPictures : policy.withPictures) {
        case OutputPlace::kProgramFolder:
            return programFolder;
        case OutputPlace::kFirstPictureFolder:
            // A picture path without a folder names none: the user chooses.
            if (std::string folder = FolderOf(pictures.empty() ? "" : pictures[0].path);
                !folder.empty())
                return folder;
            break;
        case OutputPlace::kAsk:
        case OutputPlace::kAskUnset:
            break;
    }
    return std::nullopt;
}

std::string UnwritableNameMessage(const std::string& name) {
    return "The name \"" + name +
           "\" cannot be handed to the command interpreter unchanged, so the script was not "
           "run.\rRename the picture or folder (avoid characters such as & | < > ^ where the "
           "script does not quote the name) and try again.";
}

}  // namespace quillon

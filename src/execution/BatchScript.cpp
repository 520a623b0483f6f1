#include "execution/BatchScript.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "base/Text.h"
#include "execution/QuotePath.h"

namespace quillon {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kLineSpace[] = " \t\r\n";
// Outside quotes the command interpreter reads these as command separators, pipes,
// redirections or its escape character.
constexpr char kCommandCharacters[] = "&|<>^";
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

// A line break or NUL inside a name would end the batch line and run the rest of the name.
bool IsSingleLine(std::string_view text) {
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}

// The bytes that stand for an inserted name in the batch, or nothing when there are none.
std::optional<std::string> EncodeName(std::string_view name, const NameEncoder& encode) {
    if (!IsSingleLine(name))
        return std::nullopt;
    std::optional<std::string> bytes = encode ? encode(name) : std::string(name);
    if (!bytes || !IsSingleLine(*bytes))
        return std::nullopt;
    return bytes;
}

// What the batch carries for an inserted name, percent signs doubled: the name in the
// interpreter's bytes, or references to new variables that hold it. Nothing for a name that
// would break its line either way.
std::optional<std::string> Insertion(std::string_view name, const std::string& variable,
                                     const NameEncoder& encode,
                                     std::vector<BatchVariable>& variables) {
    if (!IsSingleLine(name))
        return std::nullopt;
    if (const std::optional<std::string> bytes = EncodeName(name, encode))
        return DoublePercents(*bytes);
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

struct NameParts {
    std::string_view fileName;
    std::string_view baseName;
    std::string_view extension;
    bool blankInBaseName = false;
    bool quoted = false;  // in the batch
};

NameParts SplitPicturePath(std::string_view path) {
    NameParts parts;
    parts.fileName = FileNameOf(path);
    const std::size_t dot = parts.fileName.rfind('.');
    parts.baseName = parts.fileName.substr(0, dot);
    if (dot != std::string_view::npos)
        parts.extension = parts.fileName.substr(dot + 1);
    parts.blankInBaseName = Holds(parts.baseName, " ");
    parts.quoted = parts.blankInBaseName || Holds(parts.fileName, kCommandCharacters);
    return parts;
}

PictureName Quoted(std::string baseName, std::string extension, bool quoted) {
    if (quoted)
        return {'"' + baseName, extension + '"'};
    return {std::move(baseName), std::move(extension)};
}

// Replaces every occurrence of word, left to right, without looking into what it inserts.
// origin, when given, holds for each character of text the slot that inserted it (0: the
// author) and is kept in step.
void ReplaceWord(std::string& text, std::vector<int>* origin, const std::string& word,
                 const std::string& value, int slot) {
    std::string out;
    std::vector<int> outOrigin;
    std::size_t start = 0;
    for (std::size_t hit = text.find(word); hit != std::string::npos;
         hit = text.find(word, start)) {
        out.append(text, start, hit - start).append(value);
        if (origin != nullptr) {
            outOrigin.insert(outOrigin.end(), origin->begin() + static_cast<std::ptrdiff_t>(start),
                             origin->begin() + static_cast<std::ptrdiff_t>(hit));
            outOrigin.insert(outOrigin.end(), value.size(), slot);
        }
        start = hit + word.size();
    }
    out.append(text, start, std::string::npos);
    if (origin != nullptr) {
        outOrigin.insert(outOrigin.end(), origin->begin() + static_cast<std::ptrdiff_t>(start),
                         origin->end());
        origin->swap(outOrigin);
    }
    text.swap(out);
}

std::string ReplaceAllSlots(std::string_view body, const std::vector<SlotValues>& slots,
                            std::vector<int>* origin) {
    std::string text(body);
    if (origin != nullptr)
        origin->assign(text.size(), 0);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        const std::string index = std::to_string(slot);
        const std::string* values[] = {&slots[i].name, &slots[i].ext, &slots[i].width,
                                       &slots[i].height};
        for (std::size_t k = 0; k < 4; ++k)
            ReplaceWord(text, origin, kPlaceholderWords[k] + index, *values[k], slot);
    }
    return text;
}

// The slot whose inserted text first reaches the interpreter outside quotes with a command
// character in it, or 0. The author's text decides where quotes open and close, and an
// author's caret escapes what follows it; the quote state ends with each line.
int FirstExposedSlot(const std::string& text, const std::vector<int>& origin) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            quoted = false;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && origin[i] != 0 &&
                   Holds(std::string_view(&c, 1), kCommandCharacters)) {
            return origin[i];
        } else if (!quoted && c == '^') {
            // A caret before a line end joins the next line to this one.
            i += text.compare(i + 1, 2, kLineEnd) == 0 ? 2 : 1;
        }
    }
    return 0;
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
    return Quoted(std::string(parts.baseName), std::string(parts.extension), parts.quoted);
}

std::string ReplacePlaceholders(std::string_view body, const std::vector<SlotValues>& slots) {
    return ReplaceAllSlots(body, slots, nullptr);
}

std::string OutputFileOf(std::string_view body, const std::string& outputFolder) {
    const std::string_view trimmed = TrimEnd(body, kLineSpace);
    if (trimmed.find(kLineEnd) == std::string_view::npos && trimmed.substr(0, 2) == "::")
        return std::string();
    // A last line that ends inside quotes names its output the way the interpreter reads it:
    // a name with a blank ("my photo_small.jpg", or an opening quote that runs to the end of
    // the line) is one word, not the text after its blank, which would name no file.
    const std::size_t lineStart = trimmed.rfind(kLineEnd);
    const std::string_view lastLine =
        lineStart == std::string_view::npos ? trimmed : trimmed.substr(lineStart + 2);
    const std::size_t quotes =
        static_cast<std::size_t>(std::count(lastLine.begin(), lastLine.end(), '"'));
    if (quotes % 2 == 1) {
        const std::string_view word = lastLine.substr(lastLine.rfind('"') + 1);
        if (!word.empty())
            return outputFolder + std::string(word);
    } else if (quotes > 0 && lastLine.back() == '"') {
        const std::size_t open = lastLine.rfind('"', lastLine.size() - 2);
        const std::string_view word = lastLine.substr(open + 1, lastLine.size() - open - 2);
        if (!word.empty())
            return outputFolder + std::string(word);
    }
    const std::size_t blank = trimmed.rfind(' ');
    if (blank == std::string_view::npos)
        return std::string();
    return outputFolder + std::string(trimmed.substr(blank + 1));
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
        const std::size_t blank = line.rfind(' ');
        const std::string_view word =
            blank == std::string_view::npos ? line : line.substr(blank + 1);
        // An odd number of quotes: the word is the tail of a quoted name with a blank, and
        // alone it names some other file.
        std::size_t quotes = 0;
        for (char c : word)
            quotes += c == '"' ? 1 : 0;
        if (quotes % 2 != 0)
            continue;
        // No file has a line break in its name, and on a del line it would run the rest.
        if (!IsSingleLine(word))
            continue;
        bool kept = false;
        for (const std::string& name : keptNames)
            kept = kept || SameUnquotedName(word, name);
        if (kept)
            continue;
        const std::string name = WithoutQuotes(word);
        // del reads a comma, semicolon, equals sign or tab as the end of one name and the
        // start of another, which it would delete as well.
        list += "del " + (Holds(name, "%,;=\t") ? '"' + name + '"' : QuotePath(name)) + kLineEnd;
    }
    return list;
}

BatchPlan BuildBatch(std::string_view body, bool eraseTemp,
                     const std::vector<BatchPicture>& pictures, const std::string& outputFolder,
                     const NameEncoder& encode) {
    std::vector<BatchVariable> variables;
    const std::optional<std::string> folder =
        Insertion(outputFolder, "QUILLON_FOLDER", encode, variables);
    // Changing the folder does not change the drive, so the drive comes first.
    const std::optional<std::string> drive =
        Insertion(std::string_view(outputFolder).substr(0, 2), "QUILLON_DRIVE", encode, variables);
    if (!folder || !drive || Holds(outputFolder.substr(0, 2), kCommandCharacters))
        return Unwritable(outputFolder);
    // A reference has no blank of its own, so quotes go round it whatever the folder holds.
    const std::string cdFolder = variables.empty() ? QuotePath(*folder) : '"' + *folder + '"';

    // The slot each variable holds a name of (0: the folder's).
    std::vector<int> variableSlots(variables.size(), 0);
    std::vector<SlotValues> shownSlots;
    std::vector<SlotValues> batchSlots;
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
        variableSlots.resize(variables.size(), static_cast<int>(i) + 1);
        const std::string width = std::to_string(picture.width);
        const std::string height = std::to_string(picture.height);
        // Quotes that only keep command characters from the interpreter are no part of the
        // name the output file gets; those around a name with a blank are, as ever.
        PictureName shown = Quoted(std::string(parts.baseName), std::string(parts.extension),
                                   parts.blankInBaseName);
        PictureName written = Quoted(*baseName, *extension, parts.quoted);
        writtenNames.push_back(*baseName + '.' + *extension);
        shownSlots.push_back(
            {std::move(shown.baseName), std::move(shown.extension), width, height});
        batchSlots.push_back(
            {std::move(written.baseName), std::move(written.extension), width, height});
    }

    const std::string_view trimmedBody = Trim(body, " ");
    std::vector<int> origin;
    const std::string batchBody = ReplaceAllSlots(trimmedBody, batchSlots, &origin);
    int exposed = FirstExposedSlot(batchBody, origin);
    if (exposed == 0 && !variables.empty()) {
        // The interpreter expands a variable before it reads the line, so what the line must
        // keep quoted is the value, which the reference does not show: look at the line as the
        // interpreter reads it. Only the references expand; a placeholder inside a value stays.
        std::string expanded = batchBody;
        for (std::size_t k = 0; k < variables.size(); ++k)
            ReplaceWord(expanded, &origin, '%' + variables[k].name + '%', variables[k].value,
                        variableSlots[k]);
        exposed = FirstExposedSlot(expanded, origin);
    }
    if (exposed != 0)
        return Unwritable(
            SplitPicturePath(pictures[static_cast<std::size_t>(exposed) - 1].path).fileName);

    BatchPlan plan;
    // The output name is for the file system, so it is taken from the names as the user has
    // them, not as the interpreter reads them.
    plan.outputFile = OutputFileOf(ReplacePlaceholders(trimmedBody, shownSlots), outputFolder);
    plan.text = *drive + kLineEnd + "CD " + cdFolder + kLineEnd;
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

// libFuzzer target: a script body, an output folder and up to four picture paths, as the batch
// builder gets them. Besides crashes and undefined behaviour it checks that the builder and each
// of its helpers give byte for byte what the plain writing of the same rules gives, that no
// name adds a line to the batch, splits a word or unbalances a line's quotes, and that each
// del line names one file, a whole word of the body.
//
// Input: one flag byte, then the body, the folder and the paths, separated by bytes 0x01 (a
// byte no Windows file name holds). Flags: 1 erase temporary files, 2 paths lie in the output
// folder, 4 no encoder; the rest set the pictures' sizes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "execution/BatchScript.h"
#include "support/PlainBatch.h"

namespace {

using namespace quillon;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "batch check failed: %s\n", what);
        std::abort();
    }
}

// A console page in miniature: ASCII stays, some other bytes become one or two other non-ASCII
// bytes (as UTF-8 would), and bytes from 0xE0 up have no place in it, so they go by variable.
std::optional<std::string> Encode(std::string_view name) {
    std::string bytes;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0xE0)
            return std::nullopt;
        if (u >= 0xC0)
            bytes += static_cast<char>(u ^ 0x20);
        else if (u >= 0x80)
            bytes += std::string("\xC2") + c;
        else
            bytes += c;
    }
    return bytes;
}

// Each del line names one file for del: the name in quotes, or free of what ends a name there.
void CheckDelLines(const std::string& list) {
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find("\r\n", start);
        const std::string line = list.substr(start, end - start);
        const std::string name = line.substr(std::min<std::size_t>(4, line.size()));
        const bool quoted =
            name.size() >= 2 && name[0] == '"' && name.find('"', 1) == name.size() - 1;
        Check(line.compare(0, 4, "del ") == 0 &&
                  name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
                  (quoted || name.find_first_of(" \t,;=&|<>^%\"") == std::string::npos),
              "a del line would name more than one file");
        start = end + 2;
    }
}

// The pieces of text between separators; with words, a separator inside quotes (each quote
// opening or closing, as a program reads its arguments) does not count.
std::vector<std::string> Pieces(const std::string& text, const char* separators, bool words) {
    std::vector<std::string> pieces(1);
    bool quoted = false;
    for (char c : text) {
        quoted = words && c == '"' ? !quoted : quoted;
        if (!quoted && std::strchr(separators, c) != nullptr && c != '\0')
            pieces.emplace_back();
        else if (!words || c != '"')
            pieces.back() += c;
    }
    return pieces;
}

// Each del line among lines names what a whole word of body names (quotes gone; the
// interpreter drops CRs, so none at a word's ends counts).
void CheckDelWords(const std::vector<std::string>& lines, const std::string& body) {
    std::set<std::string> names;
    for (const std::string& line : Pieces(body, "\n", false)) {
        for (std::string word : Pieces(line, " \t", true)) {
            word.erase(0, word.find_first_not_of('\r'));
            names.insert(word.erase(word.find_last_not_of('\r') + 1));
        }
    }
    for (const std::string& line : lines) {
        if (line.compare(0, 4, "del ") == 0)
            Check(names.count(Pieces(line.substr(4), "\r", true)[0]) == 1,
                  "a del line names a piece of a word");
    }
}

// Line by line, the batch body (after the folder line) against the body with each
// placeholder a plain letter: a name keeps its line's words and its quotes' balance.
void CheckNamedLines(std::string body, const std::vector<std::string>& batchLines,
                     std::size_t pictures) {
    body.erase(0, body.find_first_not_of(' ')).erase(body.find_last_not_of(' ') + 1);
    for (std::size_t i = 1; i <= pictures; ++i) {
        for (const char* word : {"$NAME", "$EXT", "$WIDTH", "$HEIGHT"}) {
            const std::string placeholder = word + std::to_string(i);
            for (std::size_t at; (at = body.find(placeholder)) != std::string::npos;)
                body.replace(at, placeholder.size(), "N");
        }
    }
    const auto quotes = [](const std::string& line) {
        return std::count(line.begin(), line.end(), '"');
    };
    const std::vector<std::string> lines = Pieces(body, "\n", false);
    Check(batchLines.size() > lines.size() && quotes(batchLines[0]) == 2,
          "the folder line is not one quoted name");
    for (std::size_t k = 0; k < lines.size(); ++k) {
        Check(quotes(lines[k]) % 2 == quotes(batchLines[k + 1]) % 2,
              "a name unbalances the quotes of its line");
        Check(Pieces(lines[k], " \t", true).size() == Pieces(batchLines[k + 1], " \t", true).size(),
              "a name splits a word or joins two");
    }
}

bool SameVariables(const std::vector<BatchVariable>& a, const std::vector<BatchVariable>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.value == y.value;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    std::vector<std::string> fields(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0x01)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(data[i]);
    }
    fields.resize(std::max<std::size_t>(fields.size(), 2));
    const std::string& body = fields[0];
    const std::string& folder = fields[1];
    std::vector<BatchPicture> pictures;
    std::vector<SlotValues> slots;
    for (std::size_t i = 2; i < fields.size() && i < 6; ++i) {
        const std::string path = (flags & 2) != 0 ? folder + fields[i] : fields[i];
        const int side = static_cast<int>(flags) - 100 * static_cast<int>(i);
        pictures.push_back({path, side, -side});
        const PictureName name = PictureNameOf(path);
        const PictureName plainName = plain::PictureNameOf(path);
        Check(name.baseName == plainName.baseName && name.extension == plainName.extension,
              "PictureNameOf differs from the plain rules");
        slots.push_back({name.baseName, name.extension, fields[i], folder});
    }
    const bool eraseTemp = (flags & 1) != 0;
    const NameEncoder encode = (flags & 4) != 0 ? NameEncoder() : NameEncoder(Encode);

    const BatchPlan plan = BuildBatch(body, eraseTemp, pictures, folder, encode);
    const BatchPlan plainPlan = plain::BuildBatch(body, eraseTemp, pictures, folder, encode);
    Check(plan.text == plainPlan.text, "BuildBatch text differs from the plain rules");
    Check(plan.outputFile == plainPlan.outputFile,
          "BuildBatch outputFile differs from the plain rules");
    Check(plan.unwritableName == plainPlan.unwritableName,
          "BuildBatch unwritableName differs from the plain rules");
    Check(SameVariables(plan.variables, plainPlan.variables),
          "BuildBatch variables differ from the plain rules");
    if (!plan.unwritableName.empty()) {
        Check(plan.text.empty() && plan.outputFile.empty() && plan.variables.empty(),
              "a refused name still leaves something to run");
    } else {
        const std::vector<std::string> lines = Pieces(plan.text, "\n", false);
        const auto bodyLines = static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n'));
        if (!eraseTemp)
            Check(lines.size() == bodyLines + 4, "a name adds or removes a line of the batch");
        CheckNamedLines(body, lines, pictures.size());
        std::string batchBody;
        for (std::size_t k = 1; k <= bodyLines + 1 && k < lines.size(); ++k)
            batchBody += lines[k] + '\n';
        CheckDelWords(
            {lines.begin() + static_cast<std::ptrdiff_t>(std::min(bodyLines + 2, lines.size())),
             lines.end()},
            batchBody);
    }

    Check(ReplacePlaceholders(body, slots) == plain::ReplacePlaceholders(body, slots),
          "ReplacePlaceholders differs from the plain rules");
    Check(OutputFileOf(body, folder) == plain::OutputFileOf(body, folder),
          "OutputFileOf differs from the plain rules");
    std::vector<std::string> kept(fields.begin() + 1, fields.end());
    const std::string eraseList = EraseList(body, kept);
    Check(eraseList == plain::EraseList(body, kept), "EraseList differs from the plain rules");
    CheckDelLines(eraseList);
    CheckDelWords(Pieces(eraseList, "\n", false), body);
    Check(DoublePercents(body) == plain::DoublePercents(body),
          "DoublePercents differs from the plain rules");
    return 0;
}

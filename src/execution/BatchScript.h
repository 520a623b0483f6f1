// The text of "script.bat": a script body with the input pictures' data put in, the lines
// that take the batch into the output folder, and the "del" lines for temporary files.
// Pure text work; writing, running and judging the batch happen in the Windows code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/OutputPolicy.h"

namespace quillon {

// One input picture as the batch needs it: full path (ANSI) and size in pixels.
struct BatchPicture {
    std::string path;
    int width = 0;
    int height = 0;
};

// Turns a name Quillon inserts (ANSI bytes) into the bytes the command interpreter must read
// so that it decodes the user's own name; nothing when its code page cannot hold the name.
using NameEncoder = std::function<std::optional<std::string>(std::string_view)>;

// An environment variable the interpreter must be given for the run. A name its code page
// cannot hold is written into the batch as a reference to one ("%QUILLON_NAME1%"): the
// interpreter expands variables as Unicode, so the value (ANSI bytes here) reaches the tools
// unchanged.
struct BatchVariable {
    std::string name;
    std::string value;
};

struct BatchPlan {
    std::string text;  // the exact bytes of "script.bat"
    // outputFolder + the body's last word, with the pictures' names as the file system has
    // them (ANSI, percent signs single), or empty.
    std::string outputFile;
    // When not empty, a name (a picture's file name or the output folder) that cannot be
    // written into the batch so that the interpreter reads it as that name and nothing else;
    // text and outputFile are then empty and nothing may run.
    std::string unwritableName;
    std::vector<BatchVariable> variables;
};

// The batch for a script body and its input pictures (slot 1 first), run in outputFolder
// (ending in a backslash). Quillon's own insertions pass through encode; the body's bytes
// stay as the author wrote them.
BatchPlan BuildBatch(std::string_view body, bool eraseTemp,
                     const std::vector<BatchPicture>& pictures, const std::string& outputFolder,
                     const NameEncoder& encode);

// How a run of the batch went, as the window and quillon-cli report it.
enum class RunVerdict {
    kQuiet,       // nothing printed
    kWarning,     // printed, and the output file exists
    kError,       // printed, and no output file
    kUnwritable,  // a name could not be written into the batch: nothing ran
    kNotRun,      // a file of the run could not be written or nothing started: nothing ran
};

struct RunResult {
    RunVerdict verdict = RunVerdict::kQuiet;
    std::string outputFile;   // the expected output's full path, or empty
    bool outputMade = false;  // outputFile names a file that exists after the run
    std::string output;       // what the batch printed, less trailing line ends
    std::string refusal;      // with kUnwritable and kNotRun: why (lines separated by CRs)
};

// What the user is told when BuildBatch refuses a name (lines separated by single CRs).
std::string UnwritableNameMessage(const std::string& name);

// What replaces $NAMEi and $EXTi for a picture path: the file name's base name and extension,
// split at its last dot. Both carry a double quote (in front of the base name, behind the
// extension) when the base name holds a blank or the file name holds one of & | < > ^, so
// that "$NAMEi.$EXTi" becomes one quoted word in the batch.
struct PictureName {
    std::string baseName;
    std::string extension;
};
PictureName PictureNameOf(std::string_view path);

// The four texts that replace one slot's placeholders.
struct SlotValues {
    std::string name;
    std::string ext;
    std::string width;
    std::string height;
};

// The body with $NAMEi, $EXTi, $WIDTHi and $HEIGHTi replaced for i = 1 to slots.size(), slot
// by slot and in that order within a slot. Each replacement runs over the whole text as the
// earlier ones left it, so a placeholder inside an inserted value is replaced by a later step.
std::string ReplacePlaceholders(std::string_view body, const std::vector<SlotValues>& slots);

// outputFolder followed by the body's last word (after its last blank), or empty when the
// body has no blank or is one comment line ("::"). Trailing blanks, tabs, CRs and LFs do not
// count. A last line with an unclosed quote ends in the word after that quote, one that ends
// in a quote in the word between its last two quotes (either only when not empty).
std::string OutputFileOf(std::string_view body, const std::string& outputFolder);

// The "del" lines, each ended by CR LF, for the last word of every body line that is neither
// empty, nor continued ("^" at its end), nor a comment ("::" or "rem"), nor a fragment of a
// quoted name, nor holding a CR, LF or NUL, nor, regardless of ASCII case and quotes, one of
// keptNames. A word with a percent sign is always quoted (a variable in it may stand for a
// name with a blank), and so is one with a comma, semicolon, equals sign or tab (del would
// split the name there).
std::string EraseList(std::string_view body, const std::vector<std::string>& keptNames);

// The interpreter expands %...% even inside quotes; doubled, a percent sign stays itself.
std::string DoublePercents(std::string_view text);

// The output folder the policy names for a script run on these pictures (none for a script
// without pictures), or nothing when the user must be asked.
std::optional<std::string> PolicyOutputFolder(const OutputPolicy& policy,
                                              const std::vector<BatchPicture>& pictures,
                                              const std::string& programFolder);

}  // namespace quillon

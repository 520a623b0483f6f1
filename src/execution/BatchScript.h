// The text of "script.bat": a script body with the input pictures' data put in, the lines
// that take the batch into the output folder and back, and the "del" lines for temporary
// files.
// Pure text work; writing, running and judging the batch happen in the Windows code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/SettingValue.h"
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
// (ending in a backslash). Quillon's own insertions pass through encode and get quotes round
// the word they are in where they would split it or read as syntax; the author's bytes stay
// as written. "$" and a setting's name is replaced by its value first (the longest name that
// fits), so a switch's text may hold picture placeholders; a typed text goes by variable.
BatchPlan BuildBatch(std::string_view body, bool eraseTemp,
                     const std::vector<BatchPicture>& pictures, const std::string& outputFolder,
                     const NameEncoder& encode, const std::vector<SettingValue>& settings = {});

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
// split at its last dot. quoted: the file name holds a blank, a tab or one of & | < > ^, so the
// batch puts quotes round every word either goes into ("$NAMEi_s.png" becomes "b c_s.png"
// with its quotes) unless the author's own quotes already hold it.
struct PictureName {
    std::string baseName;
    std::string extension;
    bool quoted = false;
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

// A word of the body is a run between blanks, tabs and line ends, where a quoted stretch
// belongs to the word it is in (quotes end with each line); the file it names is the word
// without its quotes.

// outputFolder followed by the file named by the body's last word, or empty when the body has
// no blank or tab outside quotes, is one comment line ("::"), or ends in a word of quotes
// alone. Trailing blanks, tabs, CRs and LFs do not count; a last line without a blank leaves
// the word to start on an earlier line.
std::string OutputFileOf(std::string_view body, const std::string& outputFolder);

// The "del" lines, each ended by CR LF, for the file named by the last word of every body
// line that is neither empty, nor continued ("^" at its end), nor a comment ("::" or "rem"),
// nor a word with a quote left open, nor holding a CR, LF or NUL, nor, regardless of ASCII
// case and quotes, one of keptNames. A name with a blank or command character is quoted, and
// so is one with a percent sign (a variable in it may stand for a name with a blank), comma,
// semicolon, equals sign or tab (del would split the name there).
std::string EraseList(std::string_view body, const std::vector<std::string>& keptNames);

// The interpreter expands %...% even inside quotes; doubled, a percent sign stays itself.
std::string DoublePercents(std::string_view text);

// The output folder the policy names for a script run on these pictures (none for a script
// without pictures), or nothing when the user must be asked.
std::optional<std::string> PolicyOutputFolder(const OutputPolicy& policy,
                                              const std::vector<BatchPicture>& pictures,
                                              const std::string& programFolder);

}  // namespace quillon

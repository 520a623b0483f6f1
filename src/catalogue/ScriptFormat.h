// The script file format: reading rules, body conversion and the catalogue record.
// Pure code: the file system is reached through ByteSource only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Files.h"
#include "base/Text.h"
#include "catalogue/ScriptSettings.h"

namespace quillon {

// Capacities of the catalogue's text fields; longer values are cut without notice.
constexpr std::size_t kNameCapacity = 256;
constexpr std::size_t kBodyCapacity = 4096;

// The validation result that marks a script as unusable; a count that stores as 255
// cannot be told from it.
constexpr std::uint8_t kInvalidScript = 255;

// One catalogue script. Text fields are held as read (cut at capacity) and trimmed by
// whoever reads them.
struct ScriptEntry {
    std::string fileName;
    std::string displayName;
    std::string body;
    std::uint8_t argCount = 0;
    std::uint8_t eraseTemp = 0;
    // The text after "<param " of each declaration line, as read, and what it declares.
    std::vector<std::string> settingLines = {};
    std::vector<SettingDeclaration> settings = {};
};

// Something the reader pulls bytes from; Read returns 0 at the end.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
};

// A ByteSource over an open C stream, which it owns.
class FileByteSource final : public ByteSource {
  public:
    explicit FileByteSource(UniqueFile file) : file_(std::move(file)) {}
    std::size_t Read(char* buffer, std::size_t capacity) override;

  private:
    UniqueFile file_;
};

// A ByteSource over text already in memory.
class MemoryByteSource final : public ByteSource {
  public:
    explicit MemoryByteSource(std::string_view text) : text_(text) {}
    std::size_t Read(char* buffer, std::size_t capacity) override;

  private:
    std::string_view text_;
};

struct AttributeResult {
    bool found = false;
    std::string value;
};

// Finds keyword (lower case, with its "=") in a lower-cased copy of the tag line and
// returns the text between the next two double quotes, taken from the line as written.
AttributeResult AttributeValue(std::string_view tagLine, std::string_view keyword);

// Reads an "args" value as a count: leading number, halves rounded to even, low 8 bits.
std::uint8_t ArgsValueToCount(std::string_view value);

// Turns one body line from its shell spelling into a batch line ending in CR LF.
std::string ConvertBodyLine(std::string_view line);

// Gives the four placeholder words an index of 1 where a one-picture script left it out.
std::string ApplySingleArgShorthand(std::string body);

// Which check of the tag line failed, so the validation can say why.
enum class ScriptFault { kNone, kNoTag, kNoArgs, kNoName, kBadSetting };

struct ScriptReadResult {
    std::uint8_t count = kInvalidScript;  // argCount, or kInvalidScript
    ScriptFault fault = ScriptFault::kNoTag;
    // The converted body was longer than the catalogue keeps: what follows the cut never runs,
    // and the validation log says so.
    bool bodyCut = false;
    std::string settingProblem = {};  // with kBadSetting: the log's line that says why
};

// Reads a script from source into entry. A body line whose first characters after blanks are
// "<param " (any case) declares a setting and is left out of the body. A null source (a file that
// could not be opened) reads like a file without a tag line. Lines end at CR LF or a lone CR, or,
// in a file without any CR (as saved on other systems), at LF. Memory use is bounded by the body's
// capacity: no line and no part of the file beyond it is kept, however long the file.
ScriptReadResult ReadScript(ByteSource* source, ScriptEntry& entry);

}  // namespace quillon

// A second reading of script files, written to be obviously right rather than fast: the
// whole file in memory, split into lines, each reading rule spelled out on whole strings.
// The fuzzer and the reader tests hold the streaming reader against it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ScriptFormat.h"

namespace quillon::plain {

// The file's readable text split into lines: CR LF or a lone CR ends a line, a lone LF is
// text (in a text without any CR, LF ends a line), Ctrl-Z ends the text, and a last line
// with no end counts when it has any text.
std::vector<std::string> SplitLines(std::string_view fileBytes);

// One body line turned into its batch spelling, ending in CR LF.
std::string ConvertLine(std::string_view line);

// The value of keyword (lower case, with its "=") on a tag line.
AttributeResult Attribute(std::string_view line, std::string_view keyword);

// An "args" value as the stored count.
std::uint8_t Count(std::string_view value);

// The rewriting of a one-picture script's body.
std::string Shorthand(std::string body);

// Reads a whole file into entry, with the same result and the same partial filling on
// failure as ReadScript.
ScriptReadResult ReadScript(std::string_view fileBytes, ScriptEntry& entry);

}  // namespace quillon::plain

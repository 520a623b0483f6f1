// Small text helpers: the fixed-length fields' blanks, the parts of a Windows path, and
// comparisons that ignore ASCII case as Windows does for names in ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Removes leading and trailing blanks (character 32 only), as readers of the fixed-length
// text fields do.
std::string TrimBlanks(std::string_view text);

// Removes leading and trailing blanks, tabs, CRs and LFs.
std::string_view TrimSpace(std::string_view text);

// What tells two paths of one file apart from others' on Windows: ASCII case and double
// quotes (no part of a name) do not count.
std::string PathKey(std::string_view path);

// The part of a path after its last backslash; the whole path when it has none.
std::string_view FileNameOf(std::string_view path);

// The folder up to and including its last backslash; empty when the path has none.
std::string FolderOf(std::string_view path);

// An ASCII capital as its small letter; every other byte (other alphabets too) unchanged.
char AsciiLower(char c);
// The text with its ASCII capitals as small letters.
std::string AsciiLowered(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view start);

// Whether text is well-formed UTF-8 (plain ASCII is): shortest forms only, no surrogate
// halves, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

// Sixteen hexadecimal digits that tell byte strings apart (FNV-1a, 64 bits): for noticing
// damage and naming things after their content, not for security.
std::string Fingerprint(std::string_view bytes);

}  // namespace quillon

// Small text helpers that every part of the program reads its fixed-length fields with.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Removes leading and trailing blanks (character 32 only), as readers of the fixed-length
// text fields do.
std::string TrimBlanks(std::string_view text);

// Whether text is well-formed UTF-8 (plain ASCII is): shortest forms only, no surrogate
// halves, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

}  // namespace quillon

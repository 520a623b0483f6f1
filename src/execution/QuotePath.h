// Quoting of a path for a line of a batch file.
#pragma once

#include <string>

namespace quillon {

// The path in double quotes when a blank or one of & | < > ^ would otherwise split the
// batch line or redirect it; any other path unchanged. A path already in quotes is quoted
// again when it holds such a character.
std::string QuotePath(const std::string& path);

}  // namespace quillon

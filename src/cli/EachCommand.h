// quillon-cli each: one script over many pictures (EachCommand_win.cpp; elsewhere it says
// that running needs Windows).
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

// Runs "each [--out FOLDER] [--jobs N] SCRIPT SOURCE [PICTURE2..4]" (args[0] is "each") and
// returns the exit code: 0 all created quietly, 1 warnings, 2 a failure (or a usage error),
// 3 input that cannot be used.
int EachCommand(const std::vector<std::string>& args);

}  // namespace quillon::cli

// quillon-cli each: one script over many pictures (EachCommand_win.cpp; elsewhere it says
// that running needs Windows).
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

// Runs "each [OPTIONS] SCRIPT SOURCE [PICTURE2..4]" (args[0] is "each") and returns the
// exit code (cli/CliCommon.h).
int EachCommand(const std::vector<std::string>& args);

}  // namespace quillon::cli

#include "cli/EachCommand.h"

#include <cstdio>

namespace quillon::cli {

int EachCommand(const std::vector<std::string>&) {
    std::fprintf(stderr, "quillon-cli: each needs Windows\n");
    return 4;  // nothing could run
}

}  // namespace quillon::cli

#include "execution/QuotePath.h"

namespace quillon {

namespace {
// The command interpreter splits a line at a blank and treats the others as command
// separators, pipes, redirections or its escape character; inside quotes all are plain.
constexpr char kCharactersNeedingQuotes[] = " &|<>^";
}  // namespace

std::string QuotePath(const std::string& path) {
    if (path.find_first_of(kCharactersNeedingQuotes) == std::string::npos)
        return path;
    return '"' + path + '"';
}

}  // namespace quillon

// The one owner of an open C stream, for every file the program reads or writes whole.
#pragma once

#include <cstdio>
#include <memory>

namespace quillon {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace quillon

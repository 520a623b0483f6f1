// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillon::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program names folders: full, with one trailing separator.
    std::string WithSeparator() const;

    // Writes bytes exactly as given (no line-end translation) and returns the full path.
    std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

// The whole content of a file, as bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

}  // namespace quillon::testing

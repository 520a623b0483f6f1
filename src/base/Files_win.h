// Files named by ANSI paths: opened by their wide name, tested, read and written whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/Files.h"

namespace quillon {

// _wfopen on the widened path; null when the file cannot be opened so.
UniqueFile OpenFile(const std::string& path, const wchar_t* mode);

// True when the attribute query for path succeeds; a folder counts.
bool FileExists(const std::string& path);

// True when path names an existing folder.
bool IsFolder(const std::string& path);

// The names of the files directly in a folder (ending in a backslash), hidden and system
// files among them only when asked; a name the code page cannot write would be another
// file once narrowed, so it is left out.
std::vector<std::string> FileNamesIn(const std::string& folder, bool withHidden = false);

// At most limit bytes from the start of the file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path, std::size_t limit = std::string::npos);

// Creates or empties the file and writes bytes into it; true only when every byte was
// written and the file closed without a fault.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Deletes the file; true when it is gone afterwards (also when it never existed).
bool DeleteFileAnsi(const std::string& path);

}  // namespace quillon

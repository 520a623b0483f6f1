// Files named by ANSI paths: opened by their wide name, tested, read and written whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// The folders directly in a folder (ending in a backslash), without hidden and system ones
// and without junctions and links, which could lead back up the tree.
std::vector<std::string> SubfolderNamesIn(const std::string& folder);

// The file's last write time (in the file system's ticks), or nothing when it is missing.
std::optional<std::int64_t> LastWriteTime(const std::string& path);

// Makes the folder (ending in a backslash) and every missing folder above it; true when it
// exists afterwards.
bool CreateFolderTree(const std::string& folder);

// At most limit bytes from the start of the file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path, std::size_t limit = std::string::npos);

// Creates or empties the file and writes bytes into it; true only when every byte was
// written and the file closed without a fault.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Deletes the file; true when it is gone afterwards (also when it never existed).
bool DeleteFileAnsi(const std::string& path);

// Deletes everything in a folder (ending in a backslash), keeping the folder itself. A file
// that another name links to keeps its attributes: they are that other file's too.
void EmptyFolder(const std::string& folder);

// Removes a folder (ending in a backslash) with everything in it, waiting a moment for a
// program that has just ended in it to let go.
void RemoveTree(const std::string& folder);

// The user's TEMP folder, ending in a backslash; empty when the system names none.
std::string TempFolderPath();

// What tells one version of a file from the next: whether it is there, its size and when it
// was last written.
struct FileStamp {
    bool exists = false;  // a file (a folder does not count)
    unsigned long long size = 0;
    unsigned long long written = 0;  // last write time, in the system's file time units
};
FileStamp StampOf(const std::string& path);

// Whether after shows a file written since before was taken (new, or its time or size
// changed).
bool WrittenSince(const FileStamp& before, const FileStamp& after);

// Gives a file the last write time of a stamp; true when it took it.
bool SetWriteTime(const std::string& path, unsigned long long written);

// The system's own words for an error code, on one line.
std::string SystemMessage(unsigned long error);

}  // namespace quillon

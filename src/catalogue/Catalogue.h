// The script catalogue: the scan of the program folder, validation, removal and the
// validation log. Pure code; the folder is reached through a ScriptFolder.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/ScriptCache.h"
#include "catalogue/ScriptFormat.h"

namespace quillon {

// Shown as the only list item when the folder offers no valid script; the main window
// recognises this exact text.
inline constexpr const char* kNoScriptMarker = "[ No valid ImageMagick script (.xml) found ]";

// The ordered list of scripts, positions counted from 1. It never shrinks: removing an
// entry leaves a blank position at the end, so list items keep their positions.
class ScriptCatalogue {
  public:
    ScriptCatalogue() : entries_(1) {}

    int Size() const { return static_cast<int>(entries_.size()); }
    bool Contains(int position) const { return position >= 1 && position <= Size(); }
    ScriptEntry& At(int position) { return entries_.at(static_cast<std::size_t>(position - 1)); }
    const ScriptEntry& At(int position) const {
        return entries_.at(static_cast<std::size_t>(position - 1));
    }

    void Reset(int positions) { entries_.assign(static_cast<std::size_t>(positions), {}); }
    void Append(ScriptEntry entry) { entries_.push_back(std::move(entry)); }

  private:
    std::vector<ScriptEntry> entries_;
};

// Where the scripts live, and how to reach them. Platform files fill the two functions;
// tests may wrap them.
struct ScriptFolder {
    std::string path;  // full path, ending in exactly one separator
    // Bare names of the ordinary "*.xml" files, in the platform's listing order.
    std::function<std::vector<std::string>()> listScripts;
    // Opens path + fileName for reading; null when it cannot be opened.
    std::function<std::unique_ptr<ByteSource>(const std::string& fileName)> open;
    // What tells a file's versions apart (size and times), as the last listing gave it;
    // empty, or no function, when unknown: such a file is always read.
    std::function<std::string(const std::string& fileName)> stampOf;
};

// Replaces the catalogue and the log with what the folder holds. With a cache, a file whose
// stamp it holds is taken from it instead of being read (the log is the same either way),
// and the cache is left holding what this scan found.
void ScanCatalogue(ScriptCatalogue& catalogue, std::string& validationLog,
                   const ScriptFolder& folder, ScriptCache* cache = nullptr);

// Scans the folder again while the program runs, after files in it changed. Only when the
// scripts it offers differ from the catalogue's is the catalogue replaced and the scan's
// lines appended to the log, under a heading of their own; returns whether it was.
bool RescanCatalogue(ScriptCatalogue& catalogue, std::string& validationLog,
                     const ScriptFolder& folder, ScriptCache* cache = nullptr);

// The position of the entry read from the file fileName; 0 when none was. The same name in
// other letter case names the same file on Windows, so it is taken when there is no exact one.
int PositionOfFile(const ScriptCatalogue& catalogue, const std::string& fileName);

// Reads position k's file again into position k and appends its block to the log;
// returns the argument count or kInvalidScript. Removing a failed entry is the caller's.
std::uint8_t ValidateScript(ScriptCatalogue& catalogue, std::string& validationLog,
                            const ScriptFolder& folder, int position);

// Moves every later entry one position up and blanks the last one.
void RemoveCatalogueEntry(ScriptCatalogue& catalogue, int position);

// The drop-down list's texts, one per position, in order.
std::vector<std::string> CatalogueListItems(const ScriptCatalogue& catalogue);

// Ensures a folder path ends in exactly one separator.
std::string WithOneTrailingSeparator(std::string path, char separator);

}  // namespace quillon

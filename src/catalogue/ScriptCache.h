// What the last scan read from each script file, kept between starts so that a folder of
// many unchanged scripts is not opened file by file every time (each open costs a round trip
// to the system, which adds up to a noticeable wait with a thousand scripts). A file counts
// as unchanged while its stamp, taken from the folder listing, is the same.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "catalogue/ScriptFormat.h"

namespace quillon {

struct CachedScript {
    ScriptReadResult read;
    ScriptEntry entry;
};

class ScriptCache {
  public:
    // The cache kept in bytes for the folder folderPath; empty when the bytes belong to
    // another folder or format, or are damaged in any way (a torn write, a stray edit).
    static ScriptCache FromBytes(std::string_view bytes, const std::string& folderPath);
    std::string ToBytes(const std::string& folderPath) const;

    // The read of fileName when it was taken from a file with this stamp; null otherwise.
    const CachedScript* Find(const std::string& fileName, const std::string& stamp) const;
    void Put(const std::string& fileName, const std::string& stamp, CachedScript script);

  private:
    std::map<std::string, std::pair<std::string, CachedScript>> scripts_;  // name: stamp, read
};

}  // namespace quillon

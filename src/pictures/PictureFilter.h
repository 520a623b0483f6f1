// The picture types Quillon takes: the chooser's file-type list, and which files of a
// dropped folder or a folder run are pictures. One list, so the three never disagree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The chooser's filter in the form the open-file dialog takes: for each entry its
// description, NUL, its pattern, NUL; the whole list closed by one more NUL. The first
// entry, "All pictures", combines every other entry's patterns.
std::string PictureFilterText();

// How many entries the filter offers.
int PictureFilterEntryCount();

// Whether a file is of a type the chooser offers, by its extension in any ASCII case.
bool IsPictureFileName(std::string_view fileName);

// Whether a file is of a type the chooser offers that GDI+ does not decode, so that only
// ImageMagick can read it. GDI+'s own types stay GDI+'s alone: what it refuses of them (a
// truncated JPEG) is refused as ever.
bool NeedsImageMagickToRead(std::string_view fileName);

// The pictures among the names listed in a folder (ending in a backslash): full paths,
// ordered by name regardless of ASCII case.
std::vector<std::string> PicturesAmong(const std::string& folder,
                                       const std::vector<std::string>& fileNames);

}  // namespace quillon

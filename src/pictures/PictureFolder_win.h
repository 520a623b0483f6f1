// The pictures a dropped or named folder holds, at its top level or through its subfolders.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// A picture found below a folder, with the way from that folder to it.
struct FolderPicture {
    std::string path;       // full path
    std::string subfolder;  // relative to the folder searched, ending in a backslash, or ""
};

// The folder's pictures in name order, then (when recurse) each subfolder's in turn, by name.
// Hidden folders, junctions and links, and the work folders of Quillon's runs are not
// entered.
std::vector<FolderPicture> PicturesInFolder(const std::string& folder, bool recurse);

// Whether the folder has a subfolder that PicturesInFolder would enter.
bool HasSubfolders(const std::string& folder);

}  // namespace quillon

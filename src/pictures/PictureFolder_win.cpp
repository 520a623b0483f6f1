#include "pictures/PictureFolder_win.h"

#include <algorithm>

#include "base/Files_win.h"
#include "base/Text.h"
#include "pictures/PictureFilter.h"

namespace quillon {

namespace {

constexpr char kWorkFolderStart[] = "~quillon-";

std::vector<std::string> EnteredSubfolders(const std::string& folder) {
    std::vector<std::string> names = SubfolderNamesIn(folder);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) {
                                   return StartsWithIgnoringAsciiCase(name, kWorkFolderStart);
                               }),
                names.end());
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiLowered(a) < AsciiLowered(b);
    });
    return names;
}

void Collect(const std::string& root, const std::string& subfolder, bool recurse,
             std::vector<FolderPicture>& pictures) {
    const std::string folder = root + subfolder;
    for (std::string& path : PicturesAmong(folder, FileNamesIn(folder)))
        pictures.push_back({std::move(path), subfolder});
    if (!recurse)
        return;
    for (const std::string& name : EnteredSubfolders(folder))
        Collect(root, subfolder + name + '\\', recurse, pictures);
}

}  // namespace

std::vector<FolderPicture> PicturesInFolder(const std::string& folder, bool recurse) {
    std::vector<FolderPicture> pictures;
    Collect(folder.back() == '\\' ? folder : folder + '\\', std::string(), recurse, pictures);
    return pictures;
}

bool HasSubfolders(const std::string& folder) {
    return !EnteredSubfolders(folder.back() == '\\' ? folder : folder + '\\').empty();
}

}  // namespace quillon

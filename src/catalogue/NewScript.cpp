#include "catalogue/NewScript.h"

#include <algorithm>

#include "base/Text.h"

namespace quillon {

NewScriptPlace PlaceNewScript(ScriptCatalogue& catalogue, int listItems,
                              const std::string& fileName) {
    ScriptEntry entry;
    entry.fileName = fileName;
    entry.displayName = kNewScriptDisplayName;
    const int listed = std::min(std::max(listItems, 0), catalogue.Size());
    for (int position = 1; position <= listed; ++position) {
        // File names on Windows ignore letter case, so the same file may be typed another way.
        if (EqualsIgnoringAsciiCase(TrimBlanks(catalogue.At(position).fileName), fileName)) {
            catalogue.At(position) = entry;
            return {position, false};
        }
    }
    const int position = std::max(listItems, 0) + 1;
    while (catalogue.Size() < position)
        catalogue.Append({});
    catalogue.At(position) = entry;
    return {position, true};
}

bool LiesInFolder(std::string_view path, std::string_view folder) {
    const std::string pathFolder = FolderOf(path);
    return !pathFolder.empty() && pathFolder == folder;
}

std::string MoveToProgramFolderQuestion(const std::string& programFolder,
                                        const std::string& fileName) {
    return "Only xml files saved in the program folder can be listed.\r\rDo you want we move "
           "your script to " +
           programFolder + fileName + " ?";
}

std::string UnwritableScriptText(const std::string& path) {
    return "The new script could not be written:\r" + path + "\rCreation aborted";
}

}  // namespace quillon

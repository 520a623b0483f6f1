// A new script: the template its file starts from, the catalogue position it takes, and the
// texts that steer its file into the program folder.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/Catalogue.h"

namespace quillon {

// The smallest valid script: no pictures, a name to replace, one comment line.
inline constexpr const char* kNewScriptTemplate =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<script args=\"0\" name=\"Short description of script\" erase_temp=\"false\">\r\n"
    "#Remove this line and replace it with the IMv6 script\r\n"
    "</script>\r\n";

// How the new entry is listed while its editor is open.
inline constexpr const char* kNewScriptDisplayName = "New script (under creation)";

// Where a new script went: its catalogue (and list) position, and whether the list needs a
// new item for it or already has one at that position.
struct NewScriptPlace {
    int position = 0;
    bool newItem = true;
};

// Puts the entry of a new script named fileName into the catalogue. listItems is the number
// of items the drop-down list has now. A file already listed keeps its position, so one file
// never has two items; otherwise the entry takes the position of the item about to be
// appended, filling a blank position left by an earlier removal or growing the catalogue.
NewScriptPlace PlaceNewScript(ScriptCatalogue& catalogue, int listItems,
                              const std::string& fileName);

// Whether path names a file directly inside folder (which ends in a backslash). Letter case
// counts: the comparison is of the texts.
bool LiesInFolder(std::string_view path, std::string_view folder);

// The question asked when the chosen file lies outside the program folder.
std::string MoveToProgramFolderQuestion(const std::string& programFolder,
                                        const std::string& fileName);

// The message shown when the new script's file cannot be written.
std::string UnwritableScriptText(const std::string& path);

}  // namespace quillon

// The one application-wide state record. Created before WinMain runs, changed only by
// the main window's handler and what it calls, never torn down.
#pragma once

#include <windows.h>

#include <string>

#include "app/Handles_win.h"
#include "catalogue/Catalogue.h"
#include "pictures/DropFile_win.h"
#include "settings/OutputPolicy.h"

namespace quillon {

struct AppState {
    HWND mainWindow = nullptr;
    HMENU mainMenu = nullptr;
    HMENU imageMagickMenu = nullptr;
    HMENU authorMenu = nullptr;
    ScriptCatalogue catalogue;
    std::string validationLog;
    OutputPolicy outputPolicy;
    int currentScript = 0;               // 1-based catalogue position; 0 = none selected
    int hoverSlot = 0;                   // input slot last found under the pointer; 0 = none
    UniqueComRef<DropFileC> dropTarget;  // made when the main window initialises
    std::string lastOutput;
    std::string imageMagickVersion;
};

AppState& App();

// The folder of the running executable, ending in a backslash.
const std::string& ProgramFolder();

// Makes ProgramFolder() name another folder (ending in a backslash), for tests and tools
// that run the main window inside their own process; an empty text undoes it.
void SetProgramFolderForTesting(const std::string& folder);

// The running executable's own full path, as the platform reports it.
const std::string& ProgramPath();

}  // namespace quillon

// The one application-wide state record. Created before WinMain runs, changed only by
// the main window's handler and what it calls, never torn down.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "base/Handles_win.h"
#include "base/ProgramFolder_win.h"
#include "catalogue/Catalogue.h"
#include "pictures/DropFile_win.h"
#include "pictures/PictureReducer.h"
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
    // Reads for the slots and the output area what GDI+ cannot; lives as long as the window.
    std::unique_ptr<PictureReducer> pictureReducer;
    std::string lastOutput;
    std::string imageMagickVersion;
    bool busy = false;  // a script runs or its editor is open: no second run or edit meanwhile
};

AppState& App();

// Marks the window busy with a run or an editor wait for one command's length. The window
// keeps answering during such a wait, but a second run or edit would share its files.
class BusyScope {
  public:
    BusyScope() { App().busy = true; }
    ~BusyScope() { App().busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

// The chosen script's number of input pictures; nothing while no script is chosen.
std::optional<int> ChosenArgCount();

}  // namespace quillon

#include "app/StartUp_win.h"

#include <windows.h>

#include "app/AppState_win.h"
#include "app/MenuIds.h"
#include "catalogue/ScriptFolderAccess.h"

namespace quillon {

bool IsWindowsNt() {
    // The high bit of GetVersion is set only on the Windows 9x family.
    return (::GetVersion() & 0x80000000u) == 0;
}

void BuildMenus() {
    AppState& app = App();
    app.imageMagickMenu = ::CreatePopupMenu();
    ::AppendMenuA(app.imageMagickMenu, MF_STRING, kCmdImDownload, "IM6 Download");
    ::AppendMenuA(app.imageMagickMenu, MF_STRING, kCmdImMainPage, "IM6 Main Page");
    ::AppendMenuA(app.imageMagickMenu, MF_STRING, kCmdImExamples, "IM6 Examples");

    app.authorMenu = ::CreatePopupMenu();
    ::AppendMenuA(app.authorMenu, MF_STRING, kCmdAuthorFreeware, "Veltrane's Freeware");
    ::AppendMenuA(app.authorMenu, MF_STRING, kCmdAuthorOtherProduct, "Android Corvane!");

    app.mainMenu = ::CreatePopupMenu();
    ::AppendMenuA(app.mainMenu, MF_STRING, kCmdOutputFolders, "Output folders");
    ::AppendMenuA(app.mainMenu, MF_STRING, kCmdNewScript, "New script");
    ::AppendMenuA(app.mainMenu, MF_STRING, kCmdScriptsHowto, "Help - Scripts howto");
    ::AppendMenuA(app.mainMenu, MF_STRING, kCmdDiagnostics, "Scrips diagnostics");
    ::AppendMenuA(app.mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(app.imageMagickMenu),
                  "Visit ImageMagick website");
    ::AppendMenuA(app.mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(app.authorMenu),
                  "Visit the author's website");
}

void ScanProgramFolder() {
    AppState& app = App();
    ScanCatalogue(app.catalogue, app.validationLog, OpenScriptFolder(ProgramFolder()));
}

}  // namespace quillon

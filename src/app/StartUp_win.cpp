#include "app/StartUp_win.h"

#include <windows.h>

#include <functional>
#include <string>

#include "app/AppState_win.h"
#include "app/LivePreview_win.h"
#include "app/MenuIds.h"
#include "base/Files_win.h"
#include "base/Text.h"
#include "catalogue/ScriptCache.h"
#include "catalogue/ScriptFolderAccess.h"
#include "settings/WindowPosition_win.h"

namespace quillon {
namespace {

constexpr char kScriptCacheName[] = "Quillon scripts ";
// Far more than the most a folder of scripts can fill; a larger file is no cache of ours.
constexpr std::size_t kLargestCache = 64u << 20;

// Runs a scan of the program folder through the cache of what earlier scans read there.
void ScanThroughCache(
    const std::function<void(const ScriptFolder& folder, ScriptCache* cache)>& scan) {
    const std::string folder = ProgramFolder();
    // The cache only saves reading: when it cannot be read or written, every file is read.
    const std::string local = LocalAppDataFolder();
    // One cache per program folder, so that copies of the program in two folders do not
    // keep replacing each other's.
    const std::string cachePath = local.empty() ? ""
                                                : local + "\\" + kScriptCacheName +
                                                      Fingerprint(AsciiLowered(folder)) + ".cache";
    const std::string kept = cachePath.empty() ? "" : ReadFileBytes(cachePath, kLargestCache);
    ScriptCache cache = ScriptCache::FromBytes(kept, folder);
    scan(OpenScriptFolder(folder), &cache);
    const std::string fresh = cache.ToBytes(folder);
    if (!cachePath.empty() && fresh != kept)
        WriteWholeFile(cachePath, fresh);
}

}  // namespace

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
    ::AppendMenuA(app.mainMenu, MF_STRING, kCmdShowBatch, "Show the batch");
    ::AppendMenuA(app.mainMenu, MF_STRING | (LivePreviewKeptOn() ? MF_CHECKED : MF_UNCHECKED),
                  kCmdLivePreview, "Live preview");
    ::AppendMenuA(app.mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(app.imageMagickMenu),
                  "Visit ImageMagick website");
    ::AppendMenuA(app.mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(app.authorMenu),
                  "Visit the author's website");
}

void ScanProgramFolder() {
    ScanThroughCache([](const ScriptFolder& folder, ScriptCache* cache) {
        ScanCatalogue(App().catalogue, App().validationLog, folder, cache);
    });
}

bool RescanProgramFolder() {
    bool changed = false;
    ScanThroughCache([&changed](const ScriptFolder& folder, ScriptCache* cache) {
        changed = RescanCatalogue(App().catalogue, App().validationLog, folder, cache);
    });
    return changed;
}

}  // namespace quillon

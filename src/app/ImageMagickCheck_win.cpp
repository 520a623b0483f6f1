#include "app/ImageMagickCheck_win.h"

#include "app/AppState_win.h"
#include "app/ImageMagickCheck.h"
#include "app/WebPages.h"
#include "app/WebPages_win.h"
#include "base/AnsiText_win.h"
#include "dialogs/MsgBoxContent.h"
#include "dialogs/MyMsgBox_win.h"
#include "execution/Registry_win.h"
#include "pictures/PictureEngine_win.h"

namespace quillon {

namespace {

constexpr char kMessageCaption[] = "Quillon";
constexpr int kMissingStyle = kMbIconError | kMbYesNo;
constexpr int kYesButton = 1;

}  // namespace

std::string ReadImageMagickVersion() {
    return GetRegistryValue(HKEY_LOCAL_MACHINE, kImageMagickKey, "Version");
}

INT_PTR OnCheckImageMagick(HWND window) {
    const std::string& version = App().imageMagickVersion;
    if (IsSupportedImageMagick(version)) {
        DrawCornerCaption(window, kFoundImageMagickCaption + version);
        return TRUE;
    }
    if (MyMsgBox(window, kImageMagickMissingText, kMessageCaption, kMissingStyle, "") ==
        kYesButton) {
        OpenWebPage(window, kImageMagickCurrentDownloadPage);
    }
    // Without ImageMagick the program has nothing to do: it ends as if closed.
    ::EndDialog(window, 0);
    return TRUE;
}

}  // namespace quillon

// Quillon's entry point: the start-up order in one place.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/HandOver_win.h"
#include "app/ImageMagickCheck_win.h"
#include "app/StartUp_win.h"
#include "dialogs/MsgBoxStyle.h"
#include "pictures/InputSlots.h"
#include "pictures/PictureEngine_win.h"
#include "settings/Settings_win.h"

namespace {

constexpr int kUnsupportedSystemExitCode = 255;

// COM and the common controls for the life of the thread.
class PlatformSession {
  public:
    PlatformSession() {
        comReady_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    ~PlatformSession() {
        if (comReady_)
            ::CoUninitialize();
    }
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;

  private:
    bool comReady_ = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace quillon;
    if (!IsWindowsNt()) {
        ::MessageBoxA(nullptr, "Win98 No Support", nullptr, MB_OK);
        return kUnsupportedSystemExitCode;
    }
    // Pictures from Explorer go to the window already open on this folder, if there is one.
    const std::vector<std::wstring> pictures = CommandLinePaths();
    if (!pictures.empty() && HandToRunningWindow(pictures))
        return 0;
    KeepHandedPictures(pictures);
    PlatformSession platform;

    SetMsgBoxStyle("Lucida Console", 10, 0, -1);
    BuildMenus();
    CreateInputSlots();
    StartPictureEngine();
    DecodeFirstHandedPictureAhead();
    App().outputPolicy = LoadSettings();
    PutImageMagickFirstOnPath();
    CreateMainWindow();
    return 0;
}

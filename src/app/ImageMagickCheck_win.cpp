#include "app/ImageMagickCheck_win.h"

#include <vector>

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

constexpr wchar_t kPathVariable[] = L"PATH";
constexpr char kMessageCaption[] = "Quillon";
constexpr int kMissingStyle = kMbIconError | kMbYesNo;
constexpr int kYesButton = 1;

std::wstring ProcessPath() {
    const DWORD size = ::GetEnvironmentVariableW(kPathVariable, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(size);
    const DWORD length = ::GetEnvironmentVariableW(kPathVariable, buffer.data(), size);
    return length < size ? std::wstring(buffer.data(), length) : std::wstring();
}

}  // namespace

std::string ReadImageMagickVersion() {
    return GetRegistryValue(HKEY_LOCAL_MACHINE, kImageMagickKey, "Version");
}

std::string ReadImageMagickBinPath() {
    return GetRegistryValue(HKEY_LOCAL_MACHINE, kImageMagickKey, "BinPath");
}

void PutFolderFirstOnPath(const std::string& folder) {
    const std::wstring path = ProcessPath();
    const std::wstring wanted = SearchPathWithFolderFirst(path, WidenAnsi(folder));
    if (wanted != path)
        ::SetEnvironmentVariableW(kPathVariable, wanted.c_str());
}

void PutImageMagickFirstOnPath() {
    PutFolderFirstOnPath(ReadImageMagickBinPath());
}

INT_PTR OnCheckImageMagick(HWND window) {
    const std::string& version = App().imageMagickVersion;
    if (IsSupportedImageMagick(version)) {
        DrawCornerCaption(window, kFoundImageMagickCaption + version);
        return TRUE;
    }
    if (MyMsgBox(window, kImageMagickMissingText, kMessageCaption, kMissingStyle, "") ==
        kYesButton) {
        OpenWebPage(window, kImageMagickDownloadPage);
    }
    // Without ImageMagick the program has nothing to do: it ends as if closed.
    ::EndDialog(window, 0);
    return TRUE;
}

}  // namespace quillon

// How long a dropped picture GDI+ cannot read takes from FillSlot to its drawn preview,
// against ImageMagick's own -thumbnail of it to a file, run alone; and a dropped JPEG (GDI+
// all the way) against GDI+ decoding it whole. A measurement, run by bench/reduced-fill.sh;
// never a test.
//   quillon_reduced_bench FOLDER OTHER JPEG ROUNDS
// FOLDER must hold a script named "One picture" that takes one picture; OTHER is a picture
// GDI+ cannot read (a WebP), JPEG a JPEG of the same size.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "app/StartUp_win.h"
#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/ProgramFolder_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ImageMagickTools_win.h"
#include "pictures/InputSlots.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureEngine_win.h"

#include "BenchTiming.h"

namespace {

using namespace quillon;
using namespace quillon::bench;
namespace gdip = Gdiplus::DllExports;

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// ImageMagick's program that converts: ImageMagick 7's magick or ImageMagick 6's convert.
std::string ConvertProgram() {
    std::string folder = ReadImageMagickBinPath();
    if (folder.empty())
        return folder;
    if (folder.back() != '\\')
        folder += '\\';
    return FindImageMagickPrograms(folder).magick ? folder + kMagickProgram
                                                  : folder + "convert.exe";
}

// ImageMagick alone, as a user would call it: the picture thumbnailed into a PNG file.
double ThumbnailAlone(const std::string& program, const std::string& picture,
                      const std::string& output) {
    std::wstring line = WidenAnsi("\"" + program + "\" \"" + picture +
                                  "\" -thumbnail 1024x1024 \"" + output + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const double start = NowMs();
    if (!::CreateProcessW(WidenAnsi(program).c_str(), line.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
        return -1;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    return NowMs() - start;
}

double FullDecode(const std::string& path) {
    const double start = NowMs();
    Gdiplus::GpImage* image = nullptr;
    gdip::GdipLoadImageFromFile(WidenAnsi(path).c_str(), &image);
    PictureOwner owner(image);
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(image, &width);
    gdip::GdipGetImageHeight(image, &height);
    Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData pixels{};
    if (gdip::GdipBitmapLockBits(static_cast<Gdiplus::GpBitmap*>(image), &all,
                                 Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                 &pixels) == Gdiplus::Ok)
        gdip::GdipBitmapUnlockBits(static_cast<Gdiplus::GpBitmap*>(image), &pixels);
    return NowMs() - start;
}

void Print(const char* what, const Spread& spread) {
    std::printf("%-52s best %8.1f ms   median %8.1f ms\n", what, spread.best, spread.median);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 5) {
        std::fprintf(stderr, "usage: quillon_reduced_bench FOLDER OTHER JPEG ROUNDS\n");
        return 2;
    }
    std::string folder = NarrowToAnsiMarked(argv[1]);
    if (folder.back() != '\\')
        folder.push_back('\\');
    const std::string other = NarrowToAnsiMarked(argv[2]);
    const std::string jpeg = NarrowToAnsiMarked(argv[3]);
    const int rounds = std::max(1, _wtoi(argv[4]));
    const std::string program = ConvertProgram();
    if (program.empty()) {
        std::fprintf(stderr, "no ImageMagick registered\n");
        return 1;
    }

    BuildMenus();
    CreateInputSlots();
    StartPictureEngine();
    SetProgramFolderForTesting(folder);
    HWND window = CreateMainWindowModeless();
    HWND list = ::GetDlgItem(window, kScriptListId);
    const LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"One picture"));
    if (window == nullptr || index < 0) {
        std::fprintf(stderr, "no window, or no script \"One picture\" in the folder\n");
        return 1;
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const auto emptySlots = [&] {
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(list));
        Pump();
    };
    const auto fill = [&](const std::string& path) {
        emptySlots();  // the release of the picture before is not timed
        const double start = NowMs();
        FillSlot(window, 1, path, 1);
        const double took = NowMs() - start;
        Pump();
        return took;
    };
    const std::string thumbnail = folder + "alone.png";
    // One of each first: the file cache, the decoders and ImageMagick's own start warm up.
    fill(other);
    fill(jpeg);
    ThumbnailAlone(program, other, thumbnail);
    FullDecode(jpeg);
    std::vector<double> otherFill, alone, jpegFill, decode;
    // Timed in turn, round by round, so that whatever else the machine does weighs on all.
    for (int r = 0; r < rounds; ++r) {
        otherFill.push_back(fill(other));
        alone.push_back(ThumbnailAlone(program, other, thumbnail));
        jpegFill.push_back(fill(jpeg));
        decode.push_back(FullDecode(jpeg));
    }
    emptySlots();
    fill(other);
    const InputSlot& slot = InputSlots()[1];
    const PixelSize held = PictureSize(SlotImage(slot));
    std::printf("picture GDI+ cannot read: %s, status size %dx%d, preview %dx%d; %d rounds\n",
                other.c_str(), slot.width, slot.height, held.width, held.height, rounds);
    const Spread otherSpread = Summarise(otherFill);
    const Spread aloneSpread = Summarise(alone);
    const Spread jpegSpread = Summarise(jpegFill);
    const Spread decodeSpread = Summarise(decode);
    Print("FillSlot to drawn preview:", otherSpread);
    Print("ImageMagick -thumbnail 1024x1024 to a file, alone:", aloneSpread);
    std::printf("ratio of medians: %.2f (target <= 1.2)\n",
                otherSpread.median / aloneSpread.median);
    Print("JPEG: FillSlot to drawn preview:", jpegSpread);
    Print("JPEG: GDI+ full decode alone:", decodeSpread);
    std::printf("ratio of medians: %.2f\n", jpegSpread.median / decodeSpread.median);
    DeleteFileAnsi(thumbnail);
    ::DestroyWindow(window);
    ::LocalFree(argv);
    return 0;
}

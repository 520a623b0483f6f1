// Beside magick.exe, ImageMagick 7.1's legacy tools (convert prints 7.1's notice, then each runs
// magick.exe as itself); elsewhere, Windows' own convert.exe, the disk tool.
#include <cstdio>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/ProgramFolder_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ImageMagickTools_win.h"

int main() {
    using namespace quillon;
    const std::wstring magick = WidenAnsi(ProgramFolder() + kMagickProgram);
    if (::GetFileAttributesW(magick.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fputs("Invalid Parameter - the disk tool, not ImageMagick\n", stderr);
        return 4;
    }
    const std::string tool = MagickToolArgument(ProgramPath()).value_or("");
    if (tool.empty())
        std::fprintf(stderr, "%s\n", kConvertDeprecationNotice);
    std::fflush(stderr);
    return RunMagickFor(magick, tool, ::GetCommandLineW());
}

// Stands in for ImageMagick 7.1's legacy tools: copied under their names beside magick.exe,
// it prints the notice that 7.1 prints for convert, then runs that magick.exe as the tool.
#include <cstdio>
#include <optional>
#include <string>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/ProgramFolder_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ImageMagickTools_win.h"

int main() {
    using namespace quillon;
    const std::optional<std::string> tool = MagickToolArgument(ProgramPath());
    if (!tool)
        return 1;
    if (tool->empty()) {
        std::fputs(
            "WARNING: The convert command is deprecated in IMv7, use \"magick\" instead of "
            "\"convert\" or \"magick convert\"\n",
            stderr);
        std::fflush(stderr);
    }
    return RunMagickFor(WidenAnsi(ProgramFolder() + kMagickProgram), *tool, ::GetCommandLineW());
}

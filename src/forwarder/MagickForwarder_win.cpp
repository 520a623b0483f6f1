// One of ImageMagick 6's program names where ImageMagick 7 is installed without its legacy
// utilities: copied as convert.exe, montage.exe and the others into a folder that Quillon
// puts on the scripts' PATH, it runs ImageMagick 7's magick.exe with its own arguments
// exactly as written ("convert ARGS" as "magick ARGS", "montage ARGS" as "magick montage
// ARGS"), on its own standard handles, and ends with magick's exit code.
#include <windows.h>

#include <optional>
#include <string>

#include "base/AnsiText_win.h"
#include "base/ProgramFolder_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ImageMagickTools_win.h"

namespace {

constexpr int kFailureExitCode = 1;

}  // namespace

int main() {
    using namespace quillon;
    const std::optional<std::string> tool = MagickToolArgument(ProgramPath());
    if (!tool) {
        WriteErrorLine(ProgramPath() +
                       ": this program stands in for one of ImageMagick's legacy "
                       "tools; it is named after one, such as convert.exe");
        return kFailureExitCode;
    }
    std::string magick = ReadImageMagickBinPath();
    if (!magick.empty() && magick.back() != '\\')
        magick += '\\';
    magick += kMagickProgram;
    const std::wstring magickPath = WidenAnsi(magick);
    const DWORD attributes = ::GetFileAttributesW(magickPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        WriteErrorLine("ImageMagick 7's " + std::string(kMagickProgram) +
                       " was not found in the folder its installer registered (" + magick + ")");
        return kFailureExitCode;
    }
    return RunMagickFor(magickPath, *tool, ::GetCommandLineW());
}

// ImageMagick as this system has it: its folder as the installer registers it, which of its
// programs that folder holds, the search path that scripts find them on, and the run of
// magick.exe in place of a legacy tool.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {

// The folder of ImageMagick's tools as its installer registers it; empty when unnamed.
std::string ReadImageMagickBinPath();

// Which of ImageMagick's programs a folder holds.
struct ImageMagickPrograms {
    bool magick = false;          // ImageMagick 7's magick.exe
    std::size_t legacyTools = 0;  // how many of the legacy tool names
};
ImageMagickPrograms FindImageMagickPrograms(const std::string& folder);

// Puts ImageMagick's registered folder first on this process's PATH, which the scripts it
// runs inherit, so that a script's "convert" reaches ImageMagick and not the disk tool of the
// same name that Windows carries. Where ImageMagick 7 lacks its legacy tools, our forwarders'
// folder beside the program comes right after it. Nothing changes when both already lead.
void PutImageMagickFirstOnPath();

// Runs magick.exe with the arguments of commandLine as written, the tool's word in front when
// there is one, on this process's standard handles; returns magick's exit code, or 1 (with a
// line on standard error) when it cannot be started.
int RunMagickFor(std::wstring_view magickPath, std::string_view toolArgument,
                 std::wstring_view commandLine);

// Writes a line (CR LF added) to this process's standard error.
void WriteErrorLine(const std::string& line);

}  // namespace quillon

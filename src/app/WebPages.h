// Every page the program opens, in one place, and which menu command opens which.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// ImageMagick 6 keeps its own site apart from the newer versions'.
constexpr char kImageMagickHomePage[] = "https://legacy.imagemagick.org/";
constexpr char kImageMagickExamplesPage[] = "https://legacy.imagemagick.org/Usage/";
constexpr char kImageMagickDownloadPage[] =
    "https://legacy.imagemagick.org/script/binary-releases.php#windows";
// Where the user is sent when ImageMagick is missing: scripts run with ImageMagick 6 and 7
// alike, so the current version's Windows downloads.
constexpr char kImageMagickCurrentDownloadPage[] =
    "https://imagemagick.org/script/download.php#windows";

// The project's home page, which the scripting how-to and both author pages open. Until the
// project has a public page it is the README shipped beside the program: a name without a
// scheme is a file of the program folder.
constexpr char kProjectHomePage[] = "README.md";

// The page a popup-menu command opens; null for a command that opens none.
const char* PageOfCommand(int commandId);

// Where the shell finds a page: an address with a scheme ("https://...") as it is, a file
// name joined to the program folder (which ends in a backslash).
std::string PageLocation(std::string_view page, std::string_view programFolder);

}  // namespace quillon

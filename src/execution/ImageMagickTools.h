// What Quillon knows of ImageMagick's programs without asking Windows: the tool names that
// scripts written for ImageMagick 6 call, how our forwarders hand such a call to ImageMagick
// 7's magick.exe, where ImageMagick comes on the search path, and the notices of ImageMagick 7
// that are no output of the script.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The registry key under the local-machine root where ImageMagick's installer names itself.
constexpr char kImageMagickKey[] = "SOFTWARE\\ImageMagick\\Current";

// ImageMagick 7's one program, in ImageMagick's folder.
constexpr char kMagickProgram[] = "magick.exe";

// The folder beside Quillon's programs that holds a forwarder under each legacy tool name.
constexpr char kLegacyNamesFolder[] = "im7";

// What ImageMagick 7.1 prints on every call of convert, word for word.
constexpr char kConvertDeprecationNotice[] =
    "WARNING: The convert command is deprecated in IMv7, use \"magick\" instead of \"convert\" or "
    "\"magick convert\"";

// The programs of ImageMagick 6 that ImageMagick 7 installs only with its optional legacy
// utilities, and that scripts call by name.
constexpr std::array<std::string_view, 8> kLegacyToolNames = {
    "convert", "composite", "montage", "mogrify", "identify", "compare", "stream", "conjure"};

// The word magick.exe needs in front of the arguments to act as the legacy tool a forwarder
// was started as ("C:\x\Montage.EXE" gives "montage"; convert gives "", since magick itself
// is convert); nothing for a program name that is no legacy tool.
std::optional<std::string> MagickToolArgument(std::string_view programPath);

// What follows the program's name in a Windows command line, exactly as written (the blanks
// before the first argument included). The name ends at the first blank or tab outside double
// quotes; it has no escapes.
std::wstring_view ArgumentsOfCommandLine(std::wstring_view commandLine);

// The command line that runs magick.exe in place of the legacy tool: magick's path in quotes,
// the tool's word when there is one, then the arguments of commandLine untouched.
std::wstring MagickCommandLine(std::wstring_view magickPath, std::string_view toolArgument,
                               std::wstring_view commandLine);

// True when scripts need our forwarders: ImageMagick's folder holds ImageMagick 7's
// magick.exe but not every legacy tool.
bool NeedsLegacyNames(bool hasMagick, std::size_t legacyToolsFound);

// A search path (entries separated by ';') with folder as its first entry. It comes back
// unchanged when folder is empty or already first (letters compared without case, a
// trailing backslash ignored); an empty path becomes folder alone.
std::wstring SearchPathWithFolderFirst(std::wstring_view path, std::wstring_view folder);

// The search path for scripts: ImageMagick's folder first and, when legacyNames is not empty,
// our forwarders' folder right after it, so that legacy tools ImageMagick has of its own are
// found before ours. Unchanged when both already lead.
std::wstring ImageMagickSearchPath(std::wstring_view path, std::wstring_view binPath,
                                   std::wstring_view legacyNames);

// The captured output of a script without the lines that are exactly one of ImageMagick 7's
// notices that a legacy tool name is deprecated; every other line is kept as it was.
std::string WithoutDeprecationNotices(std::string_view output);

}  // namespace quillon

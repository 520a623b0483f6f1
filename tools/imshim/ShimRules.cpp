#include "ShimRules.h"

#include <algorithm>
#include <cctype>

namespace imshim {

namespace {

constexpr const char* kTools[] = {"animate", "compare", "composite", "conjure",
                                  "convert", "display", "identify",  "import",
                                  "mogrify", "montage", "stream"};
constexpr int kNotStartedExitCode = 127;
constexpr long kHighestExitCode = 255;

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiAlphanumeric(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

bool StartsWithDrivePath(const std::string& text, std::size_t at) {
    return text.size() >= at + 3 && IsAsciiLetter(text[at]) && text[at + 1] == ':' &&
           (text[at + 2] == '\\' || text[at + 2] == '/');
}

// Enters the folder, then runs the tool with the shell's own descriptors or the files.
// The folder, files, tool and arguments are positional parameters, never part of this text.
constexpr char kShellScript[] =
    "cd -- \"$0\" || exit 127\n"
    "out=$1; err=$2; shift 2\n"
    "if [ -z \"$out\" ]; then exec \"$@\"; fi\n"
    "if [ -z \"$err\" ]; then exec \"$@\" >\"$out\" 2>&1; fi\n"
    "exec \"$@\" >\"$out\" 2>\"$err\"\n";

}  // namespace

std::optional<std::string> ToolNameFromProgramPath(const std::string& programPath) {
    const std::size_t slash = programPath.find_last_of("\\/");
    std::string name = programPath.substr(slash == std::string::npos ? 0 : slash + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string extension = ".exe";
    if (name.size() > extension.size() &&
        name.compare(name.size() - extension.size(), extension.size(), extension) == 0) {
        name.erase(name.size() - extension.size());
    }
    for (const char* tool : kTools) {
        if (name == tool)
            return name;
    }
    return std::nullopt;
}

std::optional<PathArgument> SplitPathArgument(const std::string& argument) {
    std::size_t pathStart = 0;
    // A format prefix is at least two letters or digits, so "C:" is never taken for one.
    const std::size_t colon = argument.find(':');
    if (colon != std::string::npos && colon >= 2 &&
        std::all_of(argument.begin(), argument.begin() + static_cast<std::ptrdiff_t>(colon),
                    [](char c) { return IsAsciiAlphanumeric(c); })) {
        pathStart = colon + 1;
    }
    PathArgument parts{argument.substr(0, pathStart), argument.substr(pathStart), false};
    if (StartsWithDrivePath(argument, pathStart)) {
        parts.absolute = true;
        return parts;
    }
    if (parts.path.find('\\') != std::string::npos && parts.path.find(':') == std::string::npos)
        return parts;
    return std::nullopt;
}

std::string FolderOf(const std::string& relativePath) {
    const std::size_t backslash = relativePath.find_last_of('\\');
    return backslash == std::string::npos ? std::string() : relativePath.substr(0, backslash);
}

std::string WithForwardSlashes(std::string argument) {
    std::replace(argument.begin(), argument.end(), '\\', '/');
    return argument;
}

std::vector<std::string> LinuxCommand(const std::string& folder, const OutputFiles& files,
                                      const std::string& tool,
                                      const std::vector<std::string>& arguments) {
    // A Windows tool dies with the job its caller ends; the Linux one must die with this
    // stand-in, or a cancelled run's tool goes on writing into a folder being removed.
    std::vector<std::string> command = {"setpriv", "--pdeathsig", "KILL", "/bin/sh",
                                        "-c",      kShellScript,  folder};
    command.push_back(files.output);
    command.push_back(files.output.empty() ? std::string() : files.error);
    command.push_back(tool);
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

int ShimExitCode(long spawnResult) {
    if (spawnResult < 0 || spawnResult > kHighestExitCode)
        return kNotStartedExitCode;
    return static_cast<int>(spawnResult);
}

}  // namespace imshim

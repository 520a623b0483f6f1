#include "execution/CommandRunner.h"

namespace quillon {

namespace {
constexpr char kLineEnd[] = "\r\n";
}  // namespace

std::string RunnerWorkFolder(const std::string& givenFolder, const std::string& tempValue) {
    std::string folder = givenFolder.empty() ? tempValue + '\\' : givenFolder;
    const std::size_t kept = folder.find_last_not_of('\\');
    folder.erase(kept == std::string::npos ? 0 : kept + 1);
    folder += '\\';
    return folder;
}

std::string RunnerBatchText(const std::string& workFolder, const std::string& commandLine) {
    std::string text = "@echo off";
    text += kLineEnd;
    // Changing the folder does not change the drive, so the drive comes first.
    text += workFolder.substr(0, 2);
    text += kLineEnd;
    text += "cd \"" + workFolder + '"';
    text += kLineEnd;
    text += commandLine + " > dump.txt 2>&1";
    text += kLineEnd;
    return text;
}

std::string RunFaultMessage(RunFault fault, const std::string& path, const std::string& reason) {
    if (fault == RunFault::kNoFolder)
        return "The folder \"" + path + "\" is gone, so the script was not run.";
    if (fault == RunFault::kNoInterpreter)
        return "The command interpreter could not be started to run \"" + path +
               "\", so the script was not run." + (reason.empty() ? "" : "\r" + reason);
    return "The file \"" + path +
           "\" could not be written, so the script was not run.\rCheck that the folder exists and "
           "that you may write there, then try again.";
}

std::string TrimTrailingLineEnds(std::string output) {
    const std::size_t kept = output.find_last_not_of("\r\n");
    output.erase(kept == std::string::npos ? 0 : kept + 1);
    return output;
}

}  // namespace quillon

// quillon-cli natively: batches for inspection, with names written as they are and picture
// sizes read from the files' headers; running a batch needs the Windows command interpreter.
#include "cli/CliPlatform.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/Files.h"
#include "pictures/PictureHeader.h"

namespace quillon::cli {

std::vector<std::optional<std::string>> CommandLineArguments(int argc, char** argv) {
    // Names are bytes here, and bytes are what the batch gets.
    std::vector<std::optional<std::string>> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

void UseBinaryOutput() {}

void WriteText(std::string_view text, bool toError) {
    std::fwrite(text.data(), 1, text.size(), toError ? stderr : stdout);
}

std::string UserText(std::string_view bytes) {
    return std::string(bytes);
}

std::optional<std::string> FullPath(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error).lexically_normal();
    if (error)
        return std::nullopt;
    return full.string();
}

std::optional<PixelSize> PictureFileSize(const std::string& fullPath) {
    UniqueFile file(std::fopen(fullPath.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < kPictureHeaderWindow) {
        const std::size_t got = std::fread(buffer, 1, sizeof(buffer), file.get());
        if (got == 0)
            break;
        bytes.append(buffer, got);
        // Every format but JPEG says its size within its first bytes.
        if (const std::optional<PixelSize> size = PictureHeaderSize(bytes))
            return size;
    }
    return PictureHeaderSize(bytes);
}

std::optional<std::string> EncodeBatchName(std::string_view name) {
    return std::string(name);
}

bool RunsScripts() {
    return false;
}

RunResult RunJob(const ScriptJob&) {
    RunResult refused;
    refused.verdict = RunVerdict::kNotRun;
    refused.refusal = "run needs Windows";
    return refused;
}

}  // namespace quillon::cli

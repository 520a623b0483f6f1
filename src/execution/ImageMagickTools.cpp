#include "execution/ImageMagickTools.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr std::string_view kProgramExtension = ".exe";
constexpr std::string_view kConvert = "convert";

// What ImageMagick 7.1 prints on every call under a legacy name; only convert is known to
// print one.
constexpr std::string_view kDeprecationNotices[] = {kConvertDeprecationNotice};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A folder as Windows compares it: letters without case, one trailing backslash dropped.
std::wstring FolderKey(std::wstring_view folder) {
    if (!folder.empty() && folder.back() == L'\\')
        folder.remove_suffix(1);
    std::wstring key(folder);
    for (wchar_t& c : key) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return key;
}

// The path without its first entry when that entry is folder.
std::wstring_view WithoutLeading(std::wstring_view path, std::wstring_view folder) {
    const std::size_t end = path.find(L';');
    if (folder.empty() || FolderKey(path.substr(0, end)) != FolderKey(folder))
        return path;
    return end == std::wstring_view::npos ? std::wstring_view() : path.substr(end + 1);
}

bool IsDeprecationNotice(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return std::find(std::begin(kDeprecationNotices), std::end(kDeprecationNotices), line) !=
           std::end(kDeprecationNotices);
}

}  // namespace

std::optional<std::string> MagickToolArgument(std::string_view programPath) {
    const std::size_t slash = programPath.find_last_of("\\/");
    std::string name(slash == std::string_view::npos ? programPath : programPath.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii);
    if (name.size() > kProgramExtension.size() &&
        name.compare(name.size() - kProgramExtension.size(), std::string::npos,
                     kProgramExtension) == 0) {
        name.erase(name.size() - kProgramExtension.size());
    }
    if (std::find(kLegacyToolNames.begin(), kLegacyToolNames.end(), name) == kLegacyToolNames.end())
        return std::nullopt;
    return name == kConvert ? std::string() : name;
}

std::wstring_view ArgumentsOfCommandLine(std::wstring_view commandLine) {
    bool quoted = false;
    std::size_t i = 0;
    for (; i < commandLine.size(); ++i) {
        const wchar_t c = commandLine[i];
        if (c == L'"')
            quoted = !quoted;
        else if (!quoted && (c == L' ' || c == L'\t'))
            break;
    }
    return commandLine.substr(i);
}

std::wstring MagickCommandLine(std::wstring_view magickPath, std::string_view toolArgument,
                               std::wstring_view commandLine) {
    // A Windows path holds no double quote, so quoting it needs no escapes.
    std::wstring line = L"\"" + std::wstring(magickPath) + L"\"";
    if (!toolArgument.empty())
        line += L" " + std::wstring(toolArgument.begin(), toolArgument.end());
    line += ArgumentsOfCommandLine(commandLine);
    return line;
}

bool NeedsLegacyNames(bool hasMagick, std::size_t legacyToolsFound) {
    return hasMagick && legacyToolsFound < kLegacyToolNames.size();
}

std::wstring SearchPathWithFolderFirst(std::wstring_view path, std::wstring_view folder) {
    if (folder.empty())
        return std::wstring(path);
    if (path.empty())
        return std::wstring(folder);
    if (FolderKey(path.substr(0, path.find(L';'))) == FolderKey(folder))
        return std::wstring(path);
    return std::wstring(folder) + L";" + std::wstring(path);
}

std::wstring ImageMagickSearchPath(std::wstring_view path, std::wstring_view binPath,
                                   std::wstring_view legacyNames) {
    if (legacyNames.empty())
        return SearchPathWithFolderFirst(path, binPath);
    const std::wstring_view rest = WithoutLeading(WithoutLeading(path, binPath), legacyNames);
    return SearchPathWithFolderFirst(SearchPathWithFolderFirst(rest, legacyNames), binPath);
}

std::string WithoutDeprecationNotices(std::string_view output) {
    std::string kept;
    kept.reserve(output.size());
    while (!output.empty()) {
        const std::size_t end = output.find('\n');
        const std::size_t next = end == std::string_view::npos ? output.size() : end + 1;
        const std::string_view line = output.substr(0, next);
        if (!IsDeprecationNotice(line.substr(0, end == std::string_view::npos ? next : end)))
            kept += line;
        output.remove_prefix(next);
    }
    return kept;
}

}  // namespace quillon

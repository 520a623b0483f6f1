// Script folder access for the native (non-Windows) build of quillon-cli and the unit
// tests. Names beginning with a dot count as hidden; the listing is in name order without
// regard to case, so that output is the same on every run.
#include "catalogue/ScriptFolderAccess.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/Text.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

bool HasXmlExtension(const std::string& name) {
    return name.size() > 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".xml");
}

std::vector<std::string> ListXmlFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name.front() == '.' || !HasXmlExtension(name))
            continue;
        if (!it->is_regular_file(typeError) || typeError)
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = AsciiLowered(a), lb = AsciiLowered(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

}  // namespace

char PathSeparator() {
    return '/';
}

std::optional<std::string> ResolveFolder(const std::string& folder) {
    std::error_code error;
    const fs::path full = fs::absolute(folder, error).lexically_normal();
    if (error || !fs::is_directory(full, error) || error)
        return std::nullopt;
    return WithOneTrailingSeparator(full.string(), '/');
}

ScriptFolder OpenScriptFolder(const std::string& folderPath) {
    ScriptFolder folder;
    folder.path = folderPath;
    folder.listScripts = [folderPath] { return ListXmlFiles(folderPath); };
    folder.open = [folderPath](const std::string& fileName) -> std::unique_ptr<ByteSource> {
        std::error_code error;
        const std::string path = folderPath + fileName;
        if (fs::is_directory(path, error))
            return nullptr;
        UniqueFile file(std::fopen(path.c_str(), "rb"));
        if (!file)
            return nullptr;
        return std::make_unique<FileByteSource>(std::move(file));
    };
    return folder;
}

}  // namespace quillon

// Script folder access on Windows: FindFirstFileW/FindNextFileW in the order the file
// system returns names, and files opened by their wide name.
#include "catalogue/ScriptFolderAccess.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/FullPath_win.h"
#include "base/Handles_win.h"

namespace quillon {
namespace {

constexpr DWORD kSkippedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

// "*.xml" also matches long names through their 8.3 aliases ("notes.xmlx" is
// "NOTES~1.XML"), so the extension is checked again on the long name.
bool HasXmlExtension(const std::wstring& name) {
    return name.size() > 4 && ::CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".xml", 4,
                                                     TRUE) == CSTR_EQUAL;
}

using Stamps = std::map<std::string, std::string>;

// A file's size and its write and creation times: what changes when the file is edited,
// replaced or copied over.
std::string StampOf(const WIN32_FIND_DATAW& found) {
    const auto number = [](DWORD high, DWORD low) {
        return std::to_string((static_cast<unsigned long long>(high) << 32) | low);
    };
    return number(found.nFileSizeHigh, found.nFileSizeLow) + ' ' +
           number(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime) + ' ' +
           number(found.ftCreationTime.dwHighDateTime, found.ftCreationTime.dwLowDateTime);
}

std::vector<std::string> ListXmlFiles(const std::string& folderPath, Stamps& stamps) {
    std::vector<std::string> names;
    stamps.clear();
    const std::wstring pattern = WidenAnsi(folderPath) + L"*.xml";
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(pattern.c_str(), &found));
    if (!search)
        return names;
    do {
        if ((found.dwFileAttributes & kSkippedAttributes) != 0)
            continue;
        const std::wstring name = found.cFileName;
        if (!HasXmlExtension(name))
            continue;
        names.push_back(NarrowToAnsiMarked(name));
        stamps[names.back()] = StampOf(found);
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

}  // namespace

char PathSeparator() {
    return '\\';
}

std::optional<std::string> ResolveFolder(const std::string& folder) {
    const std::optional<std::wstring> full = FullPathOf(WidenAnsi(folder));
    if (!full)
        return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(full->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    const std::optional<std::string> ansi = NarrowToAnsi(*full);
    if (!ansi)
        return std::nullopt;
    return WithOneTrailingSeparator(*ansi, '\\');
}

ScriptFolder OpenScriptFolder(const std::string& folderPath) {
    ScriptFolder folder;
    folder.path = folderPath;
    // The listing already holds every file's stamp, so asking for one costs nothing.
    const auto stamps = std::make_shared<Stamps>();
    folder.listScripts = [folderPath, stamps] { return ListXmlFiles(folderPath, *stamps); };
    folder.stampOf = [stamps](const std::string& fileName) {
        const auto found = stamps->find(fileName);
        return found != stamps->end() ? found->second : std::string();
    };
    folder.open = [folderPath](const std::string& fileName) -> std::unique_ptr<ByteSource> {
        UniqueFile file = OpenFile(folderPath + fileName, L"rb");
        if (!file)
            return nullptr;
        return std::make_unique<FileByteSource>(std::move(file));
    };
    return folder;
}

}  // namespace quillon

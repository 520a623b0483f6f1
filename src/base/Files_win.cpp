#include "base/Files_win.h"

#include <algorithm>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"

namespace quillon {

UniqueFile OpenFile(const std::string& path, const wchar_t* mode) {
    return UniqueFile(::_wfopen(WidenAnsi(path).c_str(), mode));
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(WidenAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(WidenAnsi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> FileNamesIn(const std::string& folder, bool withHidden) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(::FindFirstFileW(WidenAnsi(folder + "*").c_str(), &found));
    if (!search)
        return names;
    const DWORD skipped =
        FILE_ATTRIBUTE_DIRECTORY | (withHidden ? 0 : FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    do {
        if ((found.dwFileAttributes & skipped) != 0)
            continue;
        if (std::optional<std::string> name = NarrowToAnsi(found.cFileName))
            names.push_back(*name);
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

std::vector<std::string> SubfolderNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(::FindFirstFileW(WidenAnsi(folder + "*").c_str(), &found));
    if (!search)
        return names;
    const DWORD skipped =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    do {
        const std::wstring_view name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (found.dwFileAttributes & skipped) != 0 || name == L"." || name == L"..")
            continue;
        if (std::optional<std::string> narrow = NarrowToAnsi(name))
            names.push_back(*narrow);
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

std::optional<std::int64_t> LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WidenAnsi(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return static_cast<std::int64_t>((ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
}

bool CreateFolderTree(const std::string& folder) {
    if (IsFolder(folder))
        return true;
    const std::string trimmed = folder.substr(0, folder.find_last_not_of('\\') + 1);
    const std::string parent = FolderOf(trimmed);
    if (parent.empty() || parent.size() >= folder.size() || !CreateFolderTree(parent))
        return false;
    return ::CreateDirectoryW(WidenAnsi(trimmed).c_str(), nullptr) != FALSE || IsFolder(folder);
}

std::string ReadFileBytes(const std::string& path, std::size_t limit) {
    std::string bytes;
    UniqueFile file = OpenFile(path, L"rb");
    char chunk[4096];
    while (file && bytes.size() < limit) {
        const std::size_t wanted = std::min(sizeof(chunk), limit - bytes.size());
        const std::size_t got = std::fread(chunk, 1, wanted, file.get());
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    return bytes;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    UniqueFile file = OpenFile(path, L"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    // Closing flushes what the stream still holds: a full disk shows only here.
    return std::fclose(file.release()) == 0 && written;
}

bool DeleteFileAnsi(const std::string& path) {
    return ::DeleteFileW(WidenAnsi(path).c_str()) || !FileExists(path);
}

}  // namespace quillon

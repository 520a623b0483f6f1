#include "base/Files_win.h"

#include <algorithm>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"

namespace quillon {

namespace {

constexpr int kRemoveAttempts = 100;
constexpr DWORD kRemovePauseMs = 20;

// More than one name for the file: a link to somebody else's file.
bool HasOtherNames(const std::wstring& path) {
    const UniqueHandle file(::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    return !file || !::GetFileInformationByHandle(file.get(), &information) ||
           information.nNumberOfLinks > 1;
}

void EmptyWideFolder(const std::wstring& folder);

void RemoveWideTree(const std::wstring& folder) {
    EmptyWideFolder(folder);
    // The interpreter that ran in the folder lets go of it a moment after it has ended, and
    // a tool ended with it may have written one last file meanwhile.
    for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
        if (::RemoveDirectoryW(folder.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND ||
            ::GetLastError() == ERROR_PATH_NOT_FOUND)
            return;
        const bool notEmpty = ::GetLastError() == ERROR_DIR_NOT_EMPTY;
        ::Sleep(kRemovePauseMs);
        if (notEmpty)
            EmptyWideFolder(folder);
    }
}

void EmptyWideFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!search)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + name;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link to a folder elsewhere goes, never what it points at.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && isFolder) {
            ::RemoveDirectoryW(path.c_str());
        } else if (isFolder) {
            RemoveWideTree(path + L"\\");
        } else if (!::DeleteFileW(path.c_str()) && !HasOtherNames(path)) {
            // A read-only file of the run's own.
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
    } while (::FindNextFileW(search.get(), &found));
}

unsigned long long Joined(DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
}

}  // namespace

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

void EmptyFolder(const std::string& folder) {
    EmptyWideFolder(WidenAnsi(folder));
}

void RemoveTree(const std::string& folder) {
    RemoveWideTree(WidenAnsi(folder));
}

std::string TempFolderPath() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return std::string();
    return NarrowToAnsiMarked(std::wstring(buffer, length));
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WidenAnsi(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = Joined(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.written = Joined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

bool WrittenSince(const FileStamp& before, const FileStamp& after) {
    return after.exists &&
           (!before.exists || after.written != before.written || after.size != before.size);
}

bool SetWriteTime(const std::string& path, unsigned long long written) {
    const UniqueHandle file(::CreateFileW(WidenAnsi(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME time{static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &time);
}

std::string SystemMessage(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    ::LocalFree(text);
    for (wchar_t& c : message) {
        if (c == L'\r' || c == L'\n')
            c = L' ';
    }
    const std::size_t end = message.find_last_not_of(L' ');
    message.erase(end == std::wstring::npos ? 0 : end + 1);
    if (message.empty())
        return "system error " + std::to_string(error);
    return NarrowToAnsiMarked(message);
}

}  // namespace quillon

#include "base/Files_win.h"

#include <algorithm>

#include <windows.h>

#include "base/AnsiText_win.h"

namespace quillon {

UniqueFile OpenFile(const std::string& path, const wchar_t* mode) {
    return UniqueFile(::_wfopen(WidenAnsi(path).c_str(), mode));
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(WidenAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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

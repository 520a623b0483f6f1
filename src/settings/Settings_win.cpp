#include "settings/Settings_win.h"

#include <cstdio>
#include <memory>

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/ProgramFolder_win.h"

namespace quillon {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

UniqueFile OpenFile(const std::string& path, const wchar_t* mode) {
    return UniqueFile(::_wfopen(WidenAnsi(path).c_str(), mode));
}

}  // namespace

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(WidenAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SettingsPath() {
    return SettingsPathFor(ProgramPath());
}

OutputPolicy LoadSettings() {
    const std::string path = SettingsPath();
    if (!FileExists(path))
        return OutputPolicy{};
    char bytes[2] = {};
    std::size_t got = 0;
    if (UniqueFile file = OpenFile(path, L"rb"))
        got = std::fread(bytes, 1, sizeof(bytes), file.get());
    return PolicyFromBytes(std::string_view(bytes, got));
}

void SaveSettings(int zeroArgPolicy, int argPolicy) {
    const std::string path = SettingsPath();
    // "r+b" keeps a longer file's tail; only a missing file is created.
    UniqueFile file = OpenFile(path, L"r+b");
    if (!file)
        file = OpenFile(path, L"wb");
    if (!file)
        return;
    const unsigned char bytes[2] = {static_cast<unsigned char>(zeroArgPolicy),
                                    static_cast<unsigned char>(argPolicy)};
    std::fwrite(bytes, 1, sizeof(bytes), file.get());
}

}  // namespace quillon

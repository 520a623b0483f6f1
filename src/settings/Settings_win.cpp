#include "settings/Settings_win.h"

#include "base/Files_win.h"
#include "base/ProgramFolder_win.h"

namespace quillon {

std::string SettingsPath() {
    return SettingsPathFor(ProgramPath());
}

OutputPolicy LoadSettings() {
    const std::string path = SettingsPath();
    if (!FileExists(path))
        return OutputPolicy{};
    return PolicyFromBytes(ReadFileBytes(path, 2));
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

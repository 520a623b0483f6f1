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

void SaveSettings(const OutputPolicy& policy) {
    const std::string path = SettingsPath();
    // "r+b" keeps a longer file's tail; only a missing file is created.
    UniqueFile file = OpenFile(path, L"r+b");
    if (!file)
        file = OpenFile(path, L"wb");
    if (!file)
        return;
    const std::string bytes = PolicyBytes(policy);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
}

}  // namespace quillon

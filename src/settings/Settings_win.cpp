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

SetRunChoices LoadSetRunChoices() {
    return ChoicesFromBytes(ReadFileBytes(SettingsPath(), 3));
}

void SaveSetRunChoices(const SetRunChoices& choices) {
    // The policy comes first in the file, so a file too short to hold it gets it written.
    std::string bytes = ReadFileBytes(SettingsPath(), 2);
    if (bytes.size() < 2)
        bytes = PolicyBytes(LoadSettings());
    UniqueFile file = OpenFile(SettingsPath(), L"r+b");
    if (!file)
        file = OpenFile(SettingsPath(), L"wb");
    if (!file)
        return;
    bytes += ChoicesByte(choices);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
}

}  // namespace quillon

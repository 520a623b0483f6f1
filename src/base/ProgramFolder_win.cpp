#include "base/ProgramFolder_win.h"

#include <windows.h>

#include "base/AnsiText_win.h"
#include "base/Text.h"

namespace quillon {

const std::string& ProgramPath() {
    static const std::string path = [] {
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length =
                ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (length < buffer.size()) {
                buffer.resize(length);
                break;
            }
            buffer.resize(buffer.size() * 2);
        }
        return NarrowToAnsiMarked(buffer);
    }();
    return path;
}

namespace {
std::string& ProgramFolderOverride() {
    static std::string folder;
    return folder;
}
}  // namespace

void SetProgramFolderForTesting(const std::string& folder) {
    ProgramFolderOverride() = folder;
}

const std::string& ProgramFolder() {
    if (!ProgramFolderOverride().empty())
        return ProgramFolderOverride();
    static const std::string folder = [] { return FolderOf(ProgramPath()); }();
    return folder;
}

}  // namespace quillon

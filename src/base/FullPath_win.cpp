#include "base/FullPath_win.h"

#include <windows.h>

namespace quillon {

std::optional<std::wstring> FullPathOf(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return std::nullopt;
    full.resize(written);
    return full;
}

}  // namespace quillon

// DELREGKEY: the one procedure Quillon.exe exports to other programs. It is built into the
// executable itself (a static library's unreferenced object would be dropped by the linker).
#include <windows.h>

#include <oleauto.h>

#include <cstring>

#include "app/Handles_win.h"

namespace {
constexpr UINT kSubKeyBufferSize = 255;
}  // namespace

// Deletes root\subKey when it has no sub-keys. root points at a registry root handle and
// subKey at a counted single-byte text (the layout SysAllocStringByteLen makes; null for
// the empty text). Returns 0 when the key was deleted or cannot be opened with full access,
// otherwise the deletion's Windows error code.
extern "C" __declspec(dllexport) LONG WINAPI
    DELREGKEY(const HKEY* root, const char* const* subKey) {
    if (root == nullptr || subKey == nullptr || *subKey == nullptr)
        return ERROR_SUCCESS;
    char path[kSubKeyBufferSize] = {};
    const UINT length = ::SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(*subKey)));
    std::memcpy(path, *subKey, length < kSubKeyBufferSize - 1 ? length : kSubKeyBufferSize - 1);
    // Without a name the call would name the root key itself.
    if (path[0] == '\0')
        return ERROR_SUCCESS;

    HKEY opened = nullptr;
    if (::RegOpenKeyExA(*root, path, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    quillon::UniqueRegKey key(opened);
    return ::RegDeleteKeyA(*root, path);
}

// DELREGKEY: the one procedure Quillon.exe exports to other programs. It is built into the
// executable itself (a static library's unreferenced object would be dropped by the linker).
#include <cstdint>

#include <windows.h>

#include "execution/Registry_win.h"

// Deletes root\subKey when it has no sub-keys; see DeleteRegistryKey. The root key arrives
// as the address of a 32-bit value, in the 64-bit build too.
extern "C" __declspec(dllexport) LONG WINAPI
    DELREGKEY(const std::uint32_t* root, const char* const* subKey) {
    return quillon::DeleteRegistryKey(root, subKey);
}

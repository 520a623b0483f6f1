// DELREGKEY: the one procedure Quillon.exe exports to other programs. It is built into the
// executable itself (a static library's unreferenced object would be dropped by the linker).
#include <windows.h>

#include "execution/Registry_win.h"

// Deletes root\subKey when it has no sub-keys; see DeleteRegistryKey.
extern "C" __declspec(dllexport) LONG WINAPI
    DELREGKEY(const HKEY* root, const char* const* subKey) {
    return quillon::DeleteRegistryKey(root, subKey);
}

// Reading a text value from the registry.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The text of valueName under root\subKey ("*" names the key's default value), or the empty
// text when the key cannot be opened for reading or the value cannot be read. At most 255
// bytes of the value are returned. A value the program's own registry view lacks is looked
// for in the 32-bit view too, where 32-bit programs on 64-bit Windows keep their keys.
std::string GetRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName);

// Deletes *root\subKey when it has no sub-keys. subKey points at a counted single-byte text
// (the layout SysAllocStringByteLen makes; null for the empty text), of which at most 254
// characters are used. Returns 0 when the key was deleted, when it cannot be opened with full
// access and when no sub-key is named; otherwise the deletion's Windows error code. Quillon.exe
// exports it as DELREGKEY.
LONG DeleteRegistryKey(const HKEY* root, const char* const* subKey);

}  // namespace quillon

// Reading a text value from the registry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace quillon {

// The text of valueName under root\subKey ("*" names the key's default value), or the empty
// text when the key cannot be opened for reading or the value cannot be read. At most 255
// bytes of the value are returned. A value the program's own registry view lacks is looked
// for in the 32-bit view too, where 32-bit programs on 64-bit Windows keep their keys.
std::string GetRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName);

// The registry key named by a 32-bit key value, widened as Windows widens handles: with the
// sign, so that 0x80000002 is HKEY_LOCAL_MACHINE in a 64-bit program too.
HKEY RootKeyFromValue(std::uint32_t value);

// Deletes root\subKey when it has no sub-keys. root points at a 32-bit key value (only those
// four bytes are read: a caller need not have more), subKey at a counted single-byte text
// (the layout SysAllocStringByteLen makes; null for the empty text), of which at most 254
// characters are used. Returns 0 when the key was deleted, when it cannot be opened with full
// access and when no sub-key is named; otherwise the deletion's Windows error code. Quillon.exe
// exports it as DELREGKEY.
LONG DeleteRegistryKey(const std::uint32_t* root, const char* const* subKey);

}  // namespace quillon

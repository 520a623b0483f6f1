// Reading a text value from the registry.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The text of valueName under root\subKey ("*" names the key's default value), or the empty
// text when the key cannot be opened for reading or the value cannot be read. At most 255
// bytes of the value are returned.
std::string GetRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName);

}  // namespace quillon

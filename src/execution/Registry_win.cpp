#include "execution/Registry_win.h"

#include <cstring>

#include "app/Handles_win.h"

namespace quillon {

namespace {
constexpr char kDefaultValueName[] = "*";
constexpr DWORD kValueBufferSize = 256;
}  // namespace

std::string GetRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName) {
    HKEY opened = nullptr;
    // Reading needs no more: a standard user is refused wider access to local-machine keys
    // and would be told that a value is missing although it is there.
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::string();
    UniqueRegKey key(opened);
    const char* name = valueName == kDefaultValueName ? "" : valueName.c_str();
    char buffer[kValueBufferSize] = {};
    DWORD size = kValueBufferSize;
    if (::RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS) {
        // A value too long for the buffer leaves it undefined, so nothing of it is used.
        return std::string();
    }
    // A stored text need not end in a zero byte.
    return std::string(buffer, ::strnlen(buffer, kValueBufferSize));
}

}  // namespace quillon

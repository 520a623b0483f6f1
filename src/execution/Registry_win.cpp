#include "execution/Registry_win.h"

#include <oleauto.h>

#include <cstring>
#include <optional>

#include "base/Handles_win.h"

namespace quillon {

namespace {
constexpr char kDefaultValueName[] = "*";
constexpr DWORD kValueBufferSize = 256;
constexpr UINT kSubKeyBufferSize = 255;

// The value's text as one view of the registry holds it; nothing when that view lacks the
// key or the value, or refuses to give it.
std::optional<std::string> ReadTextValue(HKEY root, const std::string& subKey, const char* name,
                                         REGSAM view) {
    HKEY opened = nullptr;
    // Reading needs no more: a standard user is refused wider access to local-machine keys
    // and would be told that a value is missing although it is there.
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    UniqueRegKey key(opened);
    char buffer[kValueBufferSize] = {};
    DWORD size = kValueBufferSize;
    DWORD type = REG_NONE;
    if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS) {
        // A value too long for the buffer leaves it undefined, so nothing of it is used.
        return std::nullopt;
    }
    // A number or raw bytes read as text would name a version or folder that is not there.
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    // A stored text need not end in a zero byte.
    return std::string(buffer, ::strnlen(buffer, kValueBufferSize));
}

}  // namespace

std::string GetRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName) {
    const char* name = valueName == kDefaultValueName ? "" : valueName.c_str();
    // The program's own view first; then the 32-bit view, where a 32-bit installer (such as
    // ImageMagick's Win32 one) on 64-bit Windows writes its keys. In a 32-bit program both
    // reads see the same keys.
    for (REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}}) {
        if (std::optional<std::string> text = ReadTextValue(root, subKey, name, view))
            return *text;
    }
    return std::string();
}

HKEY RootKeyFromValue(std::uint32_t value) {
    // The predefined keys are negative 32-bit numbers; Windows keeps handles to 32
    // significant bits and widens them with the sign (LongToHandle).
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(value)));
}

LONG DeleteRegistryKey(const std::uint32_t* rootValue, const char* const* subKey) {
    if (rootValue == nullptr || subKey == nullptr || *subKey == nullptr)
        return ERROR_SUCCESS;
    const HKEY root = RootKeyFromValue(*rootValue);
    char path[kSubKeyBufferSize] = {};
    const UINT length = ::SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(*subKey)));
    std::memcpy(path, *subKey, length < kSubKeyBufferSize - 1 ? length : kSubKeyBufferSize - 1);
    // Without a name the calls below would name the root key itself.
    if (path[0] == '\0')
        return ERROR_SUCCESS;

    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    UniqueRegKey key(opened);
    return ::RegDeleteKeyA(root, path);
}

}  // namespace quillon

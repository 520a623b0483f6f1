#include "app/ImageMagickCheck.h"

namespace quillon {

namespace {

constexpr int kOldestSupportedMajor = 6;

// A folder as Windows compares it: letters without case, one trailing backslash dropped.
std::wstring FolderKey(std::wstring_view folder) {
    if (!folder.empty() && folder.back() == L'\\')
        folder.remove_suffix(1);
    std::wstring key(folder);
    for (wchar_t& c : key) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return key;
}

}  // namespace

bool IsSupportedImageMagick(std::string_view version) {
    if (version.empty() || version.front() < '0' || version.front() > '9')
        return false;
    return version.front() - '0' >= kOldestSupportedMajor;
}

std::wstring SearchPathWithFolderFirst(std::wstring_view path, std::wstring_view folder) {
    if (folder.empty())
        return std::wstring(path);
    if (path.empty())
        return std::wstring(folder);
    if (FolderKey(path.substr(0, path.find(L';'))) == FolderKey(folder))
        return std::wstring(path);
    return std::wstring(folder) + L";" + std::wstring(path);
}

}  // namespace quillon

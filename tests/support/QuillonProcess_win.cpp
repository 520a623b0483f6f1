#include "support/QuillonProcess_win.h"

#include <shlobj.h>

namespace quillon::testing {
namespace {

constexpr wchar_t kMainTitle[] = L"Quillon v0.1 - Veltrane 2014";

}  // namespace

std::filesystem::path QuillonPositionFile() {
    wchar_t folder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::filesystem::path(folder) / L"Quillon.pos";
}

QuillonProcess::QuillonProcess(const std::filesystem::path& folder)
    : program_(InstallQuillon(folder.wstring(), false), L"") {
    window_ = program_.WaitForWindow(kMainTitle);
}

QuillonProcess::~QuillonProcess() {
    if (window_ != nullptr)
        Close();
}

long QuillonProcess::Close() {
    if (window_ != nullptr && ::IsWindow(window_))
        ::PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    window_ = nullptr;
    return program_.WaitForExit();
}

}  // namespace quillon::testing

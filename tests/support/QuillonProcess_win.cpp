#include "support/QuillonProcess_win.h"

#include <shlobj.h>

#include <chrono>
#include <thread>

namespace quillon::testing {
namespace {

constexpr wchar_t kMainTitle[] = L"Quillon v0.1 - Veltrane 2014";
constexpr auto kPatience = std::chrono::seconds(10);

}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

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

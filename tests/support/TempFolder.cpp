#include "support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace quillon::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ = fs::temp_directory_path() /
                ("quillon-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(path_, error))
            break;
    }
}

namespace {

// Each entry is looked at once. libstdc++'s remove_all can spin for ever under Wine on a
// file that is still listed after its deletion (a killed process held it open).
void RemoveTree(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    for (const fs::path& entry : entries) {
        // Read-only or hidden files must not keep the folder alive.
        fs::permissions(entry, fs::perms::owner_all, fs::perm_options::add, error);
        if (fs::is_directory(fs::symlink_status(entry, error)))
            RemoveTree(entry);
        else
            fs::remove(entry, error);
    }
    fs::remove(folder, error);
}

}  // namespace

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

std::string TempFolder::WithSeparator() const {
    std::string text = path_.string();
    text.push_back(static_cast<char>(fs::path::preferred_separator));
    return text;
}

fs::path TempFolder::Write(std::string_view name, std::string_view bytes) const {
    const fs::path file = path_ / std::string(name);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quillon::testing

#include "catalogue/ValidationLog_win.h"

#include <cstdio>
#include <memory>

#include "base/AnsiText_win.h"

namespace quillon {

namespace {

constexpr char kLogFileName[] = "Xml_Log.txt";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string WriteValidationLog(const std::string& folder, const std::string& log) {
    const std::string path = folder + kLogFileName;
    const std::string text = log + "\r\n";
    if (std::unique_ptr<std::FILE, FileCloser> file{::_wfopen(WidenAnsi(path).c_str(), L"wb")})
        std::fwrite(text.data(), 1, text.size(), file.get());
    return path;
}

}  // namespace quillon

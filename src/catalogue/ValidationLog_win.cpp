#include "catalogue/ValidationLog_win.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/AnsiText_win.h"
#include "app/AppState_win.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr char kLogFileName[] = "Xml_Log.txt";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

HANDLE ShowValidationLog() {
    const std::string path = ProgramFolder() + kLogFileName;
    const std::string text = App().validationLog + "\r\n";
    // A file that cannot be written is still offered to the editor, which shows what is there.
    if (std::unique_ptr<std::FILE, FileCloser> file{::_wfopen(WidenAnsi(path).c_str(), L"wb")})
        std::fwrite(text.data(), 1, text.size(), file.get());
    return ShellRun(path, "edit", SW_SHOWNORMAL);
}

}  // namespace quillon

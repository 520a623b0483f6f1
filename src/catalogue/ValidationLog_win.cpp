#include "catalogue/ValidationLog_win.h"

#include "base/Files_win.h"

namespace quillon {

namespace {

constexpr char kLogFileName[] = "Xml_Log.txt";

}  // namespace

std::string WriteValidationLog(const std::string& folder, const std::string& log) {
    const std::string path = folder + kLogFileName;
    WriteWholeFile(path, log + "\r\n");
    return path;
}

}  // namespace quillon

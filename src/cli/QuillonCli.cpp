// quillon-cli: the catalogue as Quillon sees it, for script authors and automation.
//   quillon-cli check FOLDER    the validation log after the start-up scan
//   quillon-cli list FOLDER     one line per catalogue position
//   quillon-cli body FOLDER K   the stored body of position K, as held
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/Catalogue.h"
#include "catalogue/ScriptFolderAccess.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kUsageError = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillon-cli: %s\n", message.c_str());
    return kUsageError;
}

void WriteBytes(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// A position typed by the user: decimal digits only, within the catalogue.
bool ParsePosition(const std::string& text, int size, int& position) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    position = std::atoi(text.c_str());
    return position >= 1 && position <= size;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillon;
    const std::string usage = "usage: quillon-cli check FOLDER | list FOLDER | body FOLDER K";
    if (argc < 3)
        return Fail(usage);
    const std::string command = argv[1];
    const bool isBody = command == "body";
    if ((command != "check" && command != "list" && !isBody) || argc != (isBody ? 4 : 3)) {
        return Fail(usage);
    }
    const std::optional<std::string> folderPath = ResolveFolder(argv[2]);
    if (!folderPath)
        return Fail(std::string("no such folder: ") + argv[2]);

        // Binary output, so CR LF reaches the caller as the log holds it.
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    ScriptCatalogue catalogue;
    std::string validationLog;
    ScanCatalogue(catalogue, validationLog, OpenScriptFolder(*folderPath));

    if (command == "check") {
        WriteBytes(validationLog);
    } else if (command == "list") {
        std::string lines;
        for (int k = 1; k <= catalogue.Size(); ++k) {
            const ScriptEntry& entry = catalogue.At(k);
            lines += std::to_string(k) + '\t' + TrimBlanks(entry.displayName) + '\t' +
                     std::to_string(entry.argCount) + '\t' + std::to_string(entry.eraseTemp) +
                     '\t' + TrimBlanks(entry.fileName) + '\n';
        }
        WriteBytes(lines);
    } else {
        int position = 0;
        if (!ParsePosition(argv[3], catalogue.Size(), position)) {
            return Fail("no catalogue position " + std::string(argv[3]) + " (the catalogue has " +
                        std::to_string(catalogue.Size()) + ")");
        }
        WriteBytes(catalogue.At(position).body);
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("could not write the output");
}

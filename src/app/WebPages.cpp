#include "app/WebPages.h"

#include "app/MenuIds.h"

namespace quillon {

const char* PageOfCommand(int commandId) {
    switch (commandId) {
        case kCmdScriptsHowto:
        case kCmdAuthorFreeware:
        case kCmdAuthorOtherProduct:
            return kProjectHomePage;
        case kCmdImMainPage:
            return kImageMagickHomePage;
        case kCmdImExamples:
            return kImageMagickExamplesPage;
        case kCmdImDownload:
            return kImageMagickDownloadPage;
        default:
            return nullptr;
    }
}

std::string PageLocation(std::string_view page, std::string_view programFolder) {
    if (page.find("://") != std::string_view::npos)
        return std::string(page);
    return std::string(programFolder) + std::string(page);
}

}  // namespace quillon

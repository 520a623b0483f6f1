// Command ids of the main window's popup menu, and its private messages.
#pragma once

#include "base/ControlIds.h"

namespace quillon {

constexpr int kCmdOutputFolders = 1051;
constexpr int kCmdNewScript = 1052;
constexpr int kCmdScriptsHowto = 1053;
constexpr int kCmdDiagnostics = 1054;
constexpr int kCmdImMainPage = 1055;
constexpr int kCmdImExamples = 1056;
constexpr int kCmdAuthorFreeware = 1057;
constexpr int kCmdAuthorOtherProduct = 1058;
constexpr int kCmdImDownload = 1059;
constexpr int kCmdShowBatch = 1060;
constexpr int kCmdLivePreview = 1061;

// The private message that asks the window to check ImageMagick once it runs.
constexpr unsigned kCheckImageMagickMessage = 1425;
// The private message by which the program folder's watch says that files in it changed.
constexpr unsigned kScriptsChangedMessage = 1426;
// The private message by which the window places pictures a second start handed to it.
constexpr unsigned kPlaceHandedPicturesMessage = 1427;
// The private message by which F5 asks the window to read the program folder again.
constexpr unsigned kReadFolderAgainMessage = 1428;
// The private message by which the preview worker says a preview has ended.
constexpr unsigned kPreviewDoneMessage = 1429;

}  // namespace quillon

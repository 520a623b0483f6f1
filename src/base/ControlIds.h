// Ids of the main window's controls, which the parts that draw into the window or write its
// status lines name when their caller hands them the window.
#pragma once

namespace quillon {

constexpr int kScriptListId = 1001;
constexpr int kEditScriptButtonId = 1002;
constexpr int kInputStatusId = 1003;
constexpr int kOutputPictureId = 1004;
constexpr int kOutputStatusId = 1005;
constexpr int kExecuteButtonId = 1006;
constexpr int kMenuButtonId = 1007;

}  // namespace quillon

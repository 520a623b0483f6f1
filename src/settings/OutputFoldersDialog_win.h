// The "Output folders" dialog, where the user changes the output-folder policy.
#pragma once

#include <windows.h>

#include "settings/OutputPolicy.h"

namespace quillon {

// Shows the dialog over owner with `current` selected and returns the policy to keep:
// the one saved to the settings file when "Save settings" was pressed, otherwise `current`
// (the close button and Escape end the dialog without saving).
OutputPolicy ShowOutputFoldersDialog(HWND owner, const OutputPolicy& current);

}  // namespace quillon

// The settings file beside the program, and the existence test used across the program.
#pragma once

#include <string>

#include "settings/OutputPolicy.h"

namespace quillon {

// True when the attribute query for path succeeds; a folder counts.
bool FileExists(const std::string& path);

std::string SettingsPath();

// The output-folder policy in the settings file; no file gives 1 and 1.
OutputPolicy LoadSettings();

// Writes the two values as the file's first two bytes, keeping any longer file's tail.
void SaveSettings(int zeroArgPolicy, int argPolicy);

}  // namespace quillon

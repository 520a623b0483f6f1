// The settings file beside the program, and the existence test used across the program.
#pragma once

#include <string>

#include "settings/OutputPolicy.h"

namespace quillon {

// True when the attribute query for path succeeds; a folder counts.
bool FileExists(const std::string& path);

std::string SettingsPath();

// Reads App().outputPolicy from the settings file; no file gives 1 and 1.
void LoadSettings();

// Keeps the two values and writes them as the file's first two bytes.
void SaveSettings(int zeroArgPolicy, int argPolicy);

}  // namespace quillon

// The settings file beside the program.
#pragma once

#include <string>

#include "settings/OutputPolicy.h"

namespace quillon {

std::string SettingsPath();

// The output-folder policy in the settings file; no file gives 1 and 1.
OutputPolicy LoadSettings();

// Writes the policy as the file's first two bytes, keeping any longer file's tail.
void SaveSettings(const OutputPolicy& policy);

// The folder run's remembered choices; nothing remembered gives both off.
SetRunChoices LoadSetRunChoices();

// Writes the choices as the file's third byte, keeping the policy before it and any tail.
void SaveSetRunChoices(const SetRunChoices& choices);

}  // namespace quillon

// Where a script's output goes, and the two-byte settings file that keeps it.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Any value without a meaning of its own means "ask for the folder at every run".
struct OutputPolicy {
    int zeroArgPolicy = 1;  // scripts without input pictures: 1 program folder
    int argPolicy = 1;      // scripts with pictures: 1 first picture's folder, 2 program folder
};

// The policy a settings file's bytes give: a missing byte reads as -1 ("ask").
OutputPolicy PolicyFromBytes(std::string_view bytes);

// The program's own path with its last three characters replaced by "opt".
std::string SettingsPathFor(std::string_view programPath);

}  // namespace quillon

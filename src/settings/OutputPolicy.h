// Where a script's output goes, and the two-byte settings file that keeps it.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

enum class OutputPlace {
    kProgramFolder,
    kFirstPictureFolder,  // only for scripts that take pictures
    kAsk,                 // the folder question at every run
    kAskUnset,            // as kAsk; the settings file names none of the group's options
};

struct OutputPolicy {
    OutputPlace withoutPictures = OutputPlace::kProgramFolder;
    OutputPlace withPictures = OutputPlace::kFirstPictureFolder;
};

// The options of the two groups, in their order in the dialog and in the settings file,
// which numbers them from 1.
inline constexpr OutputPlace kWithoutPicturesOptions[] = {OutputPlace::kProgramFolder,
                                                          OutputPlace::kAsk};
inline constexpr OutputPlace kWithPicturesOptions[] = {
    OutputPlace::kFirstPictureFolder, OutputPlace::kProgramFolder, OutputPlace::kAsk};

// The number of a place among its group's options (1 for the first); 0 when it is none.
int OptionNumber(OutputPlace place, bool withPictures);

// The policy a settings file's bytes give, each the number of an option of its group; a
// missing byte, or one that numbers no option, reads as kAskUnset.
OutputPolicy PolicyFromBytes(std::string_view bytes);

// The settings file's two bytes for a policy.
std::string PolicyBytes(const OutputPolicy& policy);

// The choices a folder run's question remembers, kept in the settings file's third byte.
struct SetRunChoices {
    bool withSubfolders = false;
    bool keepDates = false;
};

// The choices the settings file's bytes give: a missing or foreign third byte gives both off.
SetRunChoices ChoicesFromBytes(std::string_view bytes);

// The third byte for the choices.
char ChoicesByte(const SetRunChoices& choices);

// The program's own path with its last three characters replaced by "opt".
std::string SettingsPathFor(std::string_view programPath);

}  // namespace quillon

#include "settings/OutputFoldersChoice.h"

#include <algorithm>

namespace quillon {
namespace {

// The control of a place in the group whose first option has firstId; 0 when it has none.
int OptionInGroup(int firstId, OutputPlace place, bool withPictures) {
    const int number = OptionNumber(place, withPictures);
    return number == 0 ? 0 : firstId + number - 1;
}

}  // namespace

SelectedOptions OptionsForPolicy(const OutputPolicy& policy) {
    return {OptionInGroup(kZeroArgProgramFolderId, policy.withoutPictures, false),
            OptionInGroup(kArgFirstPictureFolderId, policy.withPictures, true)};
}

OutputPolicy PolicyForCheckedOptions(const std::vector<int>& checkedIds) {
    const auto checked = [&](int id) {
        return std::find(checkedIds.begin(), checkedIds.end(), id) != checkedIds.end();
    };
    OutputPolicy policy;
    policy.withoutPictures =
        checked(kZeroArgAskId) ? OutputPlace::kAsk : OutputPlace::kProgramFolder;
    if (checked(kArgFirstPictureFolderId))
        policy.withPictures = OutputPlace::kFirstPictureFolder;
    else
        policy.withPictures = checked(kArgAskId) ? OutputPlace::kAsk : OutputPlace::kProgramFolder;
    return policy;
}

}  // namespace quillon

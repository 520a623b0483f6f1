#include "settings/OutputFoldersChoice.h"

#include <algorithm>

namespace quillon {
namespace {

// The option of a group whose first option shows value 1, or 0 outside the group's range.
int OptionInGroup(int firstId, int optionCount, int value) {
    return value >= 1 && value <= optionCount ? firstId + value - 1 : 0;
}

}  // namespace

SelectedOptions OptionsForPolicy(const OutputPolicy& policy) {
    return {OptionInGroup(kZeroArgProgramFolderId, 2, policy.zeroArgPolicy),
            OptionInGroup(kArgFirstPictureFolderId, 3, policy.argPolicy)};
}

OutputPolicy PolicyForCheckedOptions(const std::vector<int>& checkedIds) {
    const auto checked = [&](int id) {
        return std::find(checkedIds.begin(), checkedIds.end(), id) != checkedIds.end();
    };
    OutputPolicy policy;
    policy.zeroArgPolicy = checked(kZeroArgAskId) ? 2 : 1;
    if (checked(kArgFirstPictureFolderId))
        policy.argPolicy = 1;
    else
        policy.argPolicy = checked(kArgAskId) ? 3 : 2;
    return policy;
}

}  // namespace quillon

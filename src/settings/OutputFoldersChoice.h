// Which option of the "Output folders" dialog shows a policy, and the policy its checked
// options stand for.
#pragma once

#include <vector>

#include "settings/OutputPolicy.h"

namespace quillon {

// The dialog's controls.
constexpr int kSaveSettingsId = 1002;
constexpr int kZeroArgGroupId = 1008;
constexpr int kArgGroupId = 1009;
constexpr int kZeroArgProgramFolderId = 1010;  // first option of the first group
constexpr int kZeroArgAskId = 1011;
constexpr int kArgFirstPictureFolderId = 1012;  // first option of the second group
constexpr int kArgProgramFolderId = 1013;
constexpr int kArgAskId = 1014;

// The option selected in each group; 0 when the policy value has no option there.
struct SelectedOptions {
    int zeroArgOption = 0;
    int argOption = 0;
};

SelectedOptions OptionsForPolicy(const OutputPolicy& policy);

// The policy "Save settings" stores for the option buttons checked at that moment: a group
// with nothing checked stores the program folder.
OutputPolicy PolicyForCheckedOptions(const std::vector<int>& checkedIds);

}  // namespace quillon

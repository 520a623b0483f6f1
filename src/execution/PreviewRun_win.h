// Running a script's preview: its batch on reduced copies of the pictures, hidden, in a
// folder of its own under TEMP, never in the user's folders and never in turn with Execute.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/SettingValue.h"
#include "execution/PreviewRun.h"

namespace quillon {

struct PreviewRequest {
    std::string body;  // as the catalogue holds it
    bool eraseTemp = false;
    std::vector<SettingValue> settings;    // checked against the script's declarations
    std::vector<PreviewPicture> pictures;  // slots 1 to argCount, in order
};

struct PreviewResult {
    bool ended = false;   // ended from outside before it finished: nothing to show
    std::string picture;  // the output; the caller's to delete once it has read it
    std::string problem;  // without a picture: why, in one line
};

// A private folder under TEMP for previews, removed with everything in it when the owner
// goes. Each preview runs in a folder of its own inside it, removed when the preview ends;
// only its output is kept, under a name of its own. Runs may come from several threads.
class PreviewRuns {
  public:
    PreviewRuns();
    ~PreviewRuns();
    PreviewRuns(const PreviewRuns&) = delete;
    PreviewRuns& operator=(const PreviewRuns&) = delete;

    // Runs the batch with $WIDTH and $HEIGHT the copies' sizes, its processes in a job. Once
    // cancel (a manual-reset event; may be null) is set, from any thread, they are ended and
    // the result says so.
    PreviewResult Run(const PreviewRequest& request, HANDLE cancel);

    const std::string& folder() const { return folder_; }

  private:
    PreviewResult RunIn(const PreviewRequest& request, HANDLE cancel, const std::string& work,
                        unsigned number);

    std::string folder_;
    std::atomic<unsigned> counter_{0};
};

}  // namespace quillon

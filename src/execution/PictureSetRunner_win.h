// Carrying out a planned picture set: several pictures at once, each in its own work folder
// with its own runner files and its own copies of the pictures, its processes in a job
// object so that Cancel ends them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/PixelGeometry.h"
#include "execution/PictureSet.h"

namespace quillon {

// What a progress display reads while the set runs; only the workers write it.
struct SetProgress {
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::atomic<int> created{0};
    std::atomic<int> warnings{0};
    std::atomic<int> failed{0};
    std::atomic<int> lastStarted{-1};  // plan index of the picture started last
    // True while the set waits for another set that writes into one of its output folders.
    std::atomic<bool> waiting{false};
};

struct SetRequest {
    std::string body;  // as the catalogue holds it
    bool eraseTemp = false;
    std::vector<SettingValue> settings;  // checked; the same for every picture
    SetPlan plan;
    std::vector<BatchPicture> others;  // slots 2 to argCount, the same for every picture
    int jobs = 1;
    bool keepDates = false;  // each output put in place takes its picture's last write time
    // A picture's size as a single run reads it; called from several threads at once.
    std::function<std::optional<PixelSize>(const std::string&)> pictureSize;
};

// The local time as the log of a set's run gives it: "2026-12-08 14:31:40".
std::string LogTimeNow();

// The number of jobs a set runs at once by default: one per processor.
int DefaultSetJobs();

// Runs the plan's pictures, request.jobs at a time, each as a single run would; done hears
// each outcome (from a worker thread, one at a time). Sets whose output folders meet take
// turns (single runs never wait for a set); work folders left by processes that have ended
// are removed first. An output counts only when this run wrote it and it is not empty. Once
// cancel (a manual-reset event) is set, no further picture starts and the running ones are
// ended, leaving nothing behind; no file of the user's is written by a job before its output
// is put in place. Returns whether every picture ran.
bool RunPictureSet(const SetRequest& request, HANDLE cancel, SetProgress& progress,
                   const std::function<void(const PictureOutcome&)>& done);

}  // namespace quillon

#include "execution/PictureSetRunner_win.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <unordered_set>

#include "base/AnsiText_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "execution/CommandRunner.h"
#include "execution/ConsoleText_win.h"
#include "execution/ExecuteScript_win.h"
#include "execution/ImageMagickTools.h"
#include "execution/ShellHelpers_win.h"

namespace quillon {

namespace {

constexpr char kScriptName[] = "script.bat";
constexpr char kDumpName[] = "dump.txt";
// One interpreter runs the batch straight from the work folder it starts in; no runner
// batch has to find its way there by a name the console may not hold.
constexpr wchar_t kRunnerCommand[] = L"script.bat > dump.txt 2>&1";
constexpr int kEmptyAttempts = 100;
constexpr DWORD kEmptyPauseMs = 20;
constexpr int kMostKeptNames = 1000;
constexpr wchar_t kFolderTurnPrefix[] = L"Local\\Quillon.SetFolder.";

std::wstring Wide(const std::string& ansi) {
    return WidenAnsi(ansi);
}

// Whether the process that made a work folder has ended: no process has its id now, or the
// one that has it started after the folder was made (the id was given again).
bool MakerEnded(unsigned long processId, const FILETIME& folderMade) {
    const UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
    if (!process)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;  // refused: somebody else's, alive
    DWORD code = 0;
    if (::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE)
        return true;
    FILETIME created{}, ended{}, kernel{}, user{};
    return ::GetProcessTimes(process.get(), &created, &ended, &kernel, &user) &&
           ::CompareFileTime(&created, &folderMade) > 0;
}

// Removes the work folders in folder that no running process owns: what a run cut short by a
// crash or a power cut left.
void RemoveEndedWorkFolders(const std::string& folder) {
    std::vector<std::string> ended;
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(
        ::FindFirstFileW(Wide(folder + "~quillon-*.tmp").c_str(), &found));
    if (!search)
        return;
    do {
        const std::optional<std::string> name = NarrowToAnsi(found.cFileName);
        const std::optional<unsigned long> maker = name ? JobFolderOwner(*name) : std::nullopt;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && maker &&
            MakerEnded(*maker, found.ftCreationTime))
            ended.push_back(folder + *name + "\\");
    } while (::FindNextFileW(search.get(), &found));
    for (const std::string& left : ended)
        RemoveTree(left);
}

// The key that tells output folders apart as Windows does, regardless of case.
std::wstring FolderKey(const std::string& folder) {
    std::wstring key = Wide(folder);
    if (!key.empty())
        ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// Holds the set's turn in each of its output folders, so that two sets whose outputs would
// meet take turns; sets in other folders and single runs go on meanwhile. The folders are
// taken in one order, so two sets never each hold a folder the other waits for. Waiting ends
// early on cancel.
class FolderTurns {
  public:
    FolderTurns(const std::map<std::wstring, std::string>& folders, HANDLE cancel,
                std::atomic<bool>& waiting) {
        for (const auto& folder : folders) {
            const std::wstring& key = folder.first;
            const std::string bytes(reinterpret_cast<const char*>(key.data()),
                                    key.size() * sizeof(wchar_t));
            UniqueHandle mutex(::CreateMutexW(
                nullptr, FALSE, (kFolderTurnPrefix + Wide(Fingerprint(bytes))).c_str()));
            if (!mutex)
                continue;  // without the mutex the set goes ahead, as it always could
            DWORD got = ::WaitForSingleObject(mutex.get(), 0);
            if (got == WAIT_TIMEOUT) {
                waiting = true;
                const HANDLE waits[] = {mutex.get(), cancel};
                got = ::WaitForMultipleObjects(cancel ? 2 : 1, waits, FALSE, INFINITE);
                waiting = false;
            }
            if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED_0) {
                owned_ = false;
                return;
            }
            held_.push_back(std::move(mutex));
        }
    }
    ~FolderTurns() {
        for (const UniqueHandle& mutex : held_)
            ::ReleaseMutex(mutex.get());
    }
    FolderTurns(const FolderTurns&) = delete;
    FolderTurns& operator=(const FolderTurns&) = delete;
    bool owned() const { return owned_; }

  private:
    std::vector<UniqueHandle> held_;
    bool owned_ = true;
};

// "name (Quillon n).ext" beside path: where an output goes that cannot take its own name.
std::string KeptName(const std::string& path, int n) {
    const std::size_t nameStart = path.size() - FileNameOf(path).size();
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        dot = path.size();
    return path.substr(0, dot) + " (Quillon " + std::to_string(n) + ")" + path.substr(dot);
}

enum class RunnerEnd { kEnded, kCancelled, kNotStarted };

class SetRunner {
  public:
    SetRunner(const SetRequest& request, HANDLE cancel, SetProgress& progress,
              const std::function<void(const PictureOutcome&)>& done)
        : request_(request), cancel_(cancel), progress_(progress), done_(done) {
        for (const SetPicture& picture : request_.plan.pictures)
            inputs_.insert(AsciiLowered(picture.path));
        for (const BatchPicture& other : request_.others)
            inputs_.insert(AsciiLowered(other.path));
        for (const SetPicture& picture : request_.plan.pictures)
            planned_.insert(AsciiLowered(picture.outputFolder + picture.outputName));
        job_ = KillOnCloseJob();
    }

    bool Run() {
        const int jobs = request_.jobs < 1 ? 1 : request_.jobs;
        std::vector<std::thread> workers;
        for (int w = 0; w < jobs; ++w)
            workers.emplace_back([this, w] { Work(w); });
        for (std::thread& worker : workers)
            worker.join();
        return !Cancelled() && next_.load() >= request_.plan.pictures.size();
    }

  private:
    bool Cancelled() const {
        return cancel_ != nullptr && ::WaitForSingleObject(cancel_, 0) == WAIT_OBJECT_0;
    }

    // One worker: its pictures one after another in a work folder of its own, emptied
    // between pictures and removed when it stops.
    void Work(int worker) {
        std::string folder;
        NextPictures(worker, folder);
        if (!folder.empty())
            RemoveTree(folder);
    }

    void NextPictures(int worker, std::string& folder) {
        for (;;) {
            if (Cancelled())
                return;
            const std::size_t index = next_++;
            if (index >= request_.plan.pictures.size())
                return;
            progress_.lastStarted = static_cast<int>(index);
            ++progress_.started;
            std::optional<PictureOutcome> outcome = RunOne(index, worker, folder);
            if (!outcome)
                return;  // cancelled while it ran: it counts for nothing
            switch (outcome->verdict) {
                case PictureVerdict::kCreated:
                    ++progress_.created;
                    break;
                case PictureVerdict::kWarning:
                    ++progress_.warnings;
                    break;
                case PictureVerdict::kFailed:
                    ++progress_.failed;
                    break;
            }
            {
                std::lock_guard<std::mutex> lock(report_);
                if (done_)
                    done_(*outcome);
            }
            ++progress_.finished;
        }
    }

    static PictureOutcome Failed(std::size_t index, std::string why) {
        PictureOutcome outcome;
        outcome.index = index;
        outcome.output = std::move(why);
        return outcome;
    }

    // Starts the work folder's runner hidden, in the set's job, and waits for it; on cancel
    // its processes are ended. why gets the system's reason when it cannot start.
    RunnerEnd RunRunner(const std::string& workFolder, const std::vector<BatchVariable>& variables,
                        std::string& why) {
        StartedInterpreter started =
            StartInterpreter(kRunnerCommand, Wide(workFolder), variables, true);
        if (!started.process) {
            why = SystemMessage(started.error);
            return RunnerEnd::kNotStarted;
        }
        // Where the system keeps the process out of the job (a job of its own it may not
        // leave), Cancel ends it and what it started one by one.
        const bool inJob =
            job_ && ::AssignProcessToJobObject(job_.get(), started.process.get()) != FALSE;
        ::ResumeThread(started.thread.get());
        const HANDLE waits[] = {started.process.get(), cancel_};
        ::WaitForMultipleObjects(cancel_ ? 2 : 1, waits, FALSE, INFINITE);
        // A picture that ended as the set was cancelled counts as ended: nothing of it stays.
        if (!Cancelled())
            return RunnerEnd::kEnded;
        if (inJob)
            ::TerminateJobObject(job_.get(), 1);  // every job's processes, at once
        else
            EndProcessTree(started.process.get());
        ::WaitForSingleObject(started.process.get(), INFINITE);
        return RunnerEnd::kCancelled;
    }

    std::optional<PictureOutcome> RunOne(std::size_t index, int worker, std::string& folder) {
        const SetPicture& picture = request_.plan.pictures[index];
        // The size is read only for a script that uses it: reading means decoding, and a
        // picture that cannot be read fails in ImageMagick's words all the same.
        PixelSize size;
        if (UsesPictureSize(request_.body)) {
            const std::optional<PixelSize> read =
                request_.pictureSize ? request_.pictureSize(picture.path) : std::nullopt;
            if (!read)
                return Failed(index, "cannot read or decode the picture " + picture.path);
            size = *read;
        }
        const BatchPicture first{picture.path, size.width, size.height};

        const std::string wanted =
            picture.outputFolder + JobFolderName(::GetCurrentProcessId(), worker) + "\\";
        if (wanted != folder) {
            if (!folder.empty())
                RemoveTree(folder);
            folder.clear();
            RemoveTree(wanted);  // what a crashed run may have left under this name
            if (!::CreateDirectoryW(Wide(wanted).c_str(), nullptr))
                return Failed(index, "cannot create the work folder " + wanted);
            ::SetFileAttributesW(Wide(wanted).c_str(), FILE_ATTRIBUTE_HIDDEN);
            folder = wanted;
        }
        // Nothing of the picture before may be taken for this one's.
        for (int attempt = 0; !FileNamesIn(folder, true).empty(); ++attempt) {
            if (attempt == kEmptyAttempts)
                return Failed(index, "cannot empty the work folder " + folder);
            EmptyFolder(folder);
            if (!FileNamesIn(folder, true).empty())
                ::Sleep(kEmptyPauseMs);
        }
        std::optional<PictureOutcome> outcome = RunInFolder(index, first, folder);
        EmptyFolder(folder);
        return outcome;
    }

    std::optional<PictureOutcome> RunInFolder(std::size_t index, const BatchPicture& first,
                                              const std::string& workFolder) {
        const SetPicture& picture = request_.plan.pictures[index];
        // Taken first: an output may replace its own picture.
        const FileStamp pictureStamp = StampOf(picture.path);
        // The pictures go into the work folder under their own names, where the batch looks
        // for them, each a copy of the job's own: what the script writes over one reaches
        // neither the user's file nor another job's.
        std::set<std::string> copies;
        for (const std::string& input : JobInputs(first, request_.others)) {
            const std::string name(FileNameOf(input));
            const std::wstring copy = Wide(workFolder + name);
            if (!::CopyFileW(Wide(input).c_str(), copy.c_str(), TRUE))
                return Failed(index,
                              "cannot copy " + input + ": " + SystemMessage(::GetLastError()));
            // A read-only original must not keep the script from writing over its copy.
            ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
            copies.insert(AsciiLowered(name));
        }

        const BatchPlan batch = JobBatch(request_.body, request_.eraseTemp, first, request_.others,
                                         workFolder, ToConsoleText, request_.settings);
        if (!batch.unwritableName.empty())
            return Failed(index, UnwritableNameMessage(batch.unwritableName));
        const std::string outputName = batch.outputFile.substr(workFolder.size());
        PictureOutcome outcome;
        outcome.index = index;
        outcome.outputFile = picture.outputFolder + outputName;
        if (!Claim(outcome.outputFile))
            return Failed(index, "another picture of the set already makes " + outcome.outputFile);

        // Only the script's own output goes to the dump, as when a single run echoes nothing.
        if (!WriteWholeFile(workFolder + kScriptName, "@echo off\r\n" + batch.text))
            return Failed(index, "cannot write the batch into " + workFolder);
        // A copy of a picture may already carry the output's name: only a file written by
        // this run counts.
        const FileStamp before = StampOf(batch.outputFile);
        std::string why;
        switch (RunRunner(workFolder, batch.variables, why)) {
            case RunnerEnd::kNotStarted:
                return Failed(index, "cannot start the command interpreter: " + why);
            case RunnerEnd::kCancelled:
                return std::nullopt;
            case RunnerEnd::kEnded:
                break;
        }
        // ImageMagick 7's notice that "convert" is an old name says nothing about the script.
        outcome.output =
            TrimTrailingLineEnds(WithoutDeprecationNotices(ReadFileBytes(workFolder + kDumpName)));
        const FileStamp after = StampOf(batch.outputFile);
        const bool written = WrittenSince(before, after);
        if (written && after.size > 0) {
            outcome.verdict =
                outcome.output.empty() ? PictureVerdict::kCreated : PictureVerdict::kWarning;
            PutInPlace(batch.outputFile, pictureStamp, outcome);
        } else {
            // An empty file is no picture, and one the script did not write is an older
            // one's: either stays in the work folder, to be removed with it.
            outcome.verdict = PictureVerdict::kFailed;
            if (outcome.output.empty())
                outcome.output =
                    (written ? "the script made an empty " : "the script made no ") + outputName;
        }
        MoveLeftOvers(workFolder, picture.outputFolder, copies, outputName);
        return outcome;
    }

    // Moves a made output to its place. Where the file there cannot be replaced (a viewer
    // holds it open), the output is kept beside it under a name that clashes with nothing,
    // and the picture fails with the system's reason.
    void PutInPlace(const std::string& made, const FileStamp& pictureStamp,
                    PictureOutcome& outcome) {
        std::string placed = outcome.outputFile;
        if (!::MoveFileExW(Wide(made).c_str(), Wide(placed).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
            const std::string reason = SystemMessage(::GetLastError());
            placed.clear();
            for (int n = 2; n <= kMostKeptNames && placed.empty(); ++n) {
                const std::string kept = KeptName(outcome.outputFile, n);
                if (planned_.count(AsciiLowered(kept)) != 0 || !Claim(kept))
                    continue;
                if (::MoveFileExW(Wide(made).c_str(), Wide(kept).c_str(), MOVEFILE_COPY_ALLOWED))
                    placed = kept;
                else if (::GetLastError() != ERROR_ALREADY_EXISTS &&
                         ::GetLastError() != ERROR_FILE_EXISTS)
                    break;
            }
            outcome.verdict = PictureVerdict::kFailed;
            outcome.keptAs = placed;
            const std::string printed = outcome.output.empty() ? "" : "\r\n" + outcome.output;
            outcome.output = "cannot replace " + outcome.outputFile + ": " + reason +
                             (placed.empty() ? "" : " The new one is kept as " + placed) + printed;
        }
        if (!placed.empty() && request_.keepDates && pictureStamp.exists)
            SetWriteTime(placed, pictureStamp.written);
    }

    // What else the script left goes where a single run leaves it. The copies of the
    // pictures, the runner's files and an output that did not count stay to be removed, and
    // a left-over file never replaces a picture of the set.
    void MoveLeftOvers(const std::string& workFolder, const std::string& outputFolder,
                       const std::set<std::string>& copies, const std::string& outputName) {
        const std::set<std::string> kept = {AsciiLowered(kScriptName), AsciiLowered(kDumpName),
                                            AsciiLowered(outputName)};
        for (const std::string& name : FileNamesIn(workFolder, true)) {
            const std::string key = AsciiLowered(name);
            if (kept.count(key) != 0 || copies.count(key) != 0 ||
                inputs_.count(AsciiLowered(outputFolder + name)) != 0)
                continue;
            ::MoveFileExW(Wide(workFolder + name).c_str(), Wide(outputFolder + name).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
        }
    }

    bool Claim(const std::string& outputFile) {
        std::lock_guard<std::mutex> lock(claims_);
        return claimed_.insert(AsciiLowered(outputFile)).second;
    }

    const SetRequest& request_;
    HANDLE cancel_;
    SetProgress& progress_;
    const std::function<void(const PictureOutcome&)>& done_;
    UniqueHandle job_;
    std::atomic<std::size_t> next_{0};
    std::mutex report_;
    std::mutex claims_;
    std::set<std::string> claimed_;
    std::unordered_set<std::string> inputs_;
    std::unordered_set<std::string> planned_;  // every output the plan names
};

}  // namespace

std::string LogTimeNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

int DefaultSetJobs() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? static_cast<int>(system.dwNumberOfProcessors) : 1;
}

bool RunPictureSet(const SetRequest& request, HANDLE cancel, SetProgress& progress,
                   const std::function<void(const PictureOutcome&)>& done) {
    std::map<std::wstring, std::string> folders;
    for (const SetPicture& picture : request.plan.pictures)
        folders.emplace(FolderKey(picture.outputFolder), picture.outputFolder);
    const FolderTurns turns(folders, cancel, progress.waiting);
    if (!turns.owned())
        return false;
    for (const auto& folder : folders)
        RemoveEndedWorkFolders(folder.second);
    SetRunner runner(request, cancel, progress, done);
    return runner.Run();
}

}  // namespace quillon

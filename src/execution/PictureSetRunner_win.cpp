#include "execution/PictureSetRunner_win.h"

#include <memory>
#include <string_view>
#include <mutex>
#include <set>
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
#include "execution/ImageMagickTools_win.h"

namespace quillon {

namespace {

constexpr char kScriptName[] = "script.bat";
constexpr char kDumpName[] = "dump.txt";
constexpr int kRemoveAttempts = 100;
constexpr DWORD kRemovePauseMs = 20;

// The process's environment with a picture's batch variables added: each job's interpreter
// gets its own block, since jobs running at once carry different names.
std::vector<wchar_t> EnvironmentWith(const std::vector<BatchVariable>& variables) {
    std::vector<wchar_t> block;
    if (const LPWCH current = ::GetEnvironmentStringsW()) {
        const wchar_t* entry = current;
        while (*entry != L'\0') {
            const std::wstring_view text(entry);
            block.insert(block.end(), text.begin(), text.end() + 1);
            entry += text.size() + 1;
        }
        ::FreeEnvironmentStringsW(current);
    }
    // Later entries of the same name would be ignored, and ours are new names anyway.
    for (const BatchVariable& variable : variables) {
        const std::wstring entry = WidenAnsi(variable.name) + L"=" + WidenAnsi(variable.value);
        block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

std::wstring Wide(const std::string& ansi) {
    return WidenAnsi(ansi);
}

// Deletes everything in a folder (ending in a backslash), keeping the folder itself.
void EmptyFolder(const std::string& folder);

// Removes a work folder with everything in it.
void RemoveTree(const std::string& folder) {
    EmptyFolder(folder);
    // The interpreter that ran in the folder lets go of it a moment after it has ended.
    for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
        if (::RemoveDirectoryW(Wide(folder).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND ||
            ::GetLastError() == ERROR_PATH_NOT_FOUND)
            return;
        ::Sleep(kRemovePauseMs);
    }
}

void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(::FindFirstFileW(Wide(folder + "*").c_str(), &found));
    if (!search)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = Wide(folder) + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (std::optional<std::string> sub = NarrowToAnsi(path))
                RemoveTree(*sub + "\\");
        } else {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
    } while (::FindNextFileW(search.get(), &found));
}

std::wstring CommandInterpreter() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"ComSpec", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return path;
    const UINT system = ::GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, system < MAX_PATH ? system : 0) + L"\\cmd.exe";
}

// Holds the session's run mutex for the whole set; waiting ends early on cancel.
class SetTurn {
  public:
    explicit SetTurn(HANDLE cancel) : mutex_(::CreateMutexW(nullptr, FALSE, kScriptRunMutexName)) {
        if (!mutex_) {
            owned_ = true;  // without the mutex the set goes ahead, as a single run would
            return;
        }
        const HANDLE waits[] = {mutex_.get(), cancel};
        const DWORD got = ::WaitForMultipleObjects(cancel ? 2 : 1, waits, FALSE, INFINITE);
        owned_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED_0;
        held_ = owned_;
    }
    ~SetTurn() {
        if (held_)
            ::ReleaseMutex(mutex_.get());
    }
    SetTurn(const SetTurn&) = delete;
    SetTurn& operator=(const SetTurn&) = delete;
    bool owned() const { return owned_; }

  private:
    UniqueHandle mutex_;
    bool owned_ = false;
    bool held_ = false;
};

class SetRunner {
  public:
    SetRunner(const SetRequest& request, HANDLE cancel, SetProgress& progress,
              const std::function<void(const PictureOutcome&)>& done)
        : request_(request), cancel_(cancel), progress_(progress), done_(done) {
        for (const SetPicture& picture : request_.plan.pictures)
            inputs_.insert(AsciiLowered(picture.path));
        for (const BatchPicture& other : request_.others)
            inputs_.insert(AsciiLowered(other.path));
        job_.Reset(::CreateJobObjectW(nullptr, nullptr));
        if (job_) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            ::SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits,
                                      sizeof(limits));
        }
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

    // Starts the work folder's runner hidden, in the set's job, and waits for it; false when
    // the set was cancelled meanwhile (the job's processes are then ended).
    std::optional<bool> RunRunner(const std::string& workFolder,
                                  const std::vector<BatchVariable>& variables) {
        const std::wstring interpreter = CommandInterpreter();
        // One interpreter runs the batch straight from the work folder it starts in; no
        // runner batch has to find its way there by a name the console may not hold.
        std::wstring commandLine = L"\"" + interpreter + L"\" /c " + Wide(kScriptName) + L" > " +
                                   Wide(kDumpName) + L" 2>&1";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION info{};
        std::vector<wchar_t> environment = EnvironmentWith(variables);
        if (!::CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                              environment.data(), Wide(workFolder).c_str(), &startup, &info)) {
            return std::nullopt;
        }
        UniqueHandle process(info.hProcess);
        UniqueHandle thread(info.hThread);
        if (job_)
            ::AssignProcessToJobObject(job_.get(), process.get());
        ::ResumeThread(thread.get());
        const HANDLE waits[] = {process.get(), cancel_};
        ::WaitForMultipleObjects(cancel_ ? 2 : 1, waits, FALSE, INFINITE);
        // A picture that ended as the set was cancelled counts as ended: nothing of it stays.
        if (!Cancelled())
            return true;
        // Cancelled: end this picture's processes (and, through the job, every other one).
        if (job_)
            ::TerminateJobObject(job_.get(), 1);
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), INFINITE);
        return false;
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
            if (attempt == kRemoveAttempts)
                return Failed(index, "cannot empty the work folder " + folder);
            EmptyFolder(folder);
            if (!FileNamesIn(folder, true).empty())
                ::Sleep(kRemovePauseMs);
        }
        std::optional<PictureOutcome> outcome = RunInFolder(index, first, folder);
        EmptyFolder(folder);
        return outcome;
    }

    std::optional<PictureOutcome> RunInFolder(std::size_t index, const BatchPicture& first,
                                              const std::string& workFolder) {
        const SetPicture& picture = request_.plan.pictures[index];
        // The pictures go into the work folder under their own names, where the batch looks
        // for them: linked where the file system allows it, else copied.
        std::set<std::string> linked;
        for (const std::string& input : JobInputs(first, request_.others)) {
            const std::string name(FileNameOf(input));
            const std::wstring target = Wide(workFolder + name);
            if (!::CreateHardLinkW(target.c_str(), Wide(input).c_str(), nullptr) &&
                !::CopyFileW(Wide(input).c_str(), target.c_str(), TRUE)) {
                return Failed(index, "cannot reach " + input);
            }
            linked.insert(AsciiLowered(name));
        }

        const BatchPlan batch = JobBatch(request_.body, request_.eraseTemp, first, request_.others,
                                         workFolder, ToConsoleText);
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
        const std::optional<bool> ran = RunRunner(workFolder, batch.variables);
        if (!ran)
            return Failed(index, "cannot start the command interpreter");
        if (!*ran)
            return std::nullopt;
        // ImageMagick 7's notice that "convert" is an old name says nothing about the script.
        outcome.output =
            TrimTrailingLineEnds(WithoutDeprecationNotices(ReadFileBytes(workFolder + kDumpName)));

        // The output and what else the script left behind go where a single run leaves
        // them; the linked pictures and the runner's files stay to be removed.
        const std::set<std::string> runnerFiles = {AsciiLowered(kScriptName),
                                                   AsciiLowered(kDumpName)};
        bool made = false;
        for (const std::string& name : FileNamesIn(workFolder, true)) {
            const std::string key = AsciiLowered(name);
            // A script may write its output over its own picture, as a single run would.
            const bool isOutput = key == AsciiLowered(outputName);
            if (!isOutput && (linked.count(key) != 0 || runnerFiles.count(key) != 0))
                continue;
            // A picture of the set is read by other jobs: a left-over file never replaces it.
            if (!isOutput && inputs_.count(AsciiLowered(picture.outputFolder + name)) != 0)
                continue;
            const bool moved =
                ::MoveFileExW(Wide(workFolder + name).c_str(),
                              Wide(picture.outputFolder + name).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
            made = made || (isOutput && moved);
        }
        if (!made)
            outcome.verdict = PictureVerdict::kFailed;
        else
            outcome.verdict =
                outcome.output.empty() ? PictureVerdict::kCreated : PictureVerdict::kWarning;
        if (!made && outcome.output.empty())
            outcome.output = "the script made no " + outputName;
        return outcome;
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
};

}  // namespace

int DefaultSetJobs() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? static_cast<int>(system.dwNumberOfProcessors) : 1;
}

bool RunPictureSet(const SetRequest& request, HANDLE cancel, SetProgress& progress,
                   const std::function<void(const PictureOutcome&)>& done) {
    // Scripts reach ImageMagick as a single run does.
    static const bool imageMagickOnPath = (PutImageMagickFirstOnPath(), true);
    (void)imageMagickOnPath;
    SetTurn turn(cancel);
    if (!turn.owned())
        return false;
    SetRunner runner(request, cancel, progress, done);
    return runner.Run();
}

}  // namespace quillon

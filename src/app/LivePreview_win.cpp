#include "app/LivePreview_win.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/AppState_win.h"
#include "app/MenuIds.h"
#include "app/SettingRows_win.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "catalogue/ScriptSettings.h"
#include "execution/PreviewRun_win.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/PictureHeader.h"
#include "pictures/PictureReducer.h"
#include "settings/WindowPosition_win.h"

namespace quillon {

namespace {

constexpr UINT_PTR kPreviewTimer = kPreviewDoneMessage;
constexpr UINT kQuietMs = 300;  // a slider dragged on starts no preview for every step
constexpr wchar_t kPreviewStatus[] = L"Preview (reduced) \u2013 Execute makes the full picture";
constexpr char kChoiceFile[] = "\\Quillon live preview.txt";
constexpr char kOffText[] = "off";
constexpr std::size_t kPngHeaderBytes = 64;

std::string ChoicePath() {
    const std::string folder = LocalAppDataFolder();
    return folder.empty() ? "" : folder + kChoiceFile;
}

// What a preview is made of, as the window holds it now.
struct Wanted {
    bool typing = false;  // a value does not pass yet: the preview shown stays
    std::string key;      // tells one state of the script, its values and pictures from another
    PreviewRequest request;
    std::vector<std::string> paths;  // slots 1 to argCount
};

struct Job {
    bool copiesOnly = false;  // only the reduced copies, made while changes pause
    unsigned generation = 0;
    DWORD notBefore = 0;  // the tick the run waits for when it began before the quiet time ended
    PreviewRequest request;
    std::vector<std::string> paths;
};

struct Done {
    unsigned generation = 0;
    PreviewResult result;
    std::string firstCopy;  // the first picture's reduced copy, for the picture as it was
};

// A reduced copy kept while its picture stays in a slot.
struct KeptCopy {
    std::string copy;
    PixelSize size;
};

// One thread that makes previews one after another: a newer request ends the running one
// (its processes too) and only the newest waiting request is made.
class PreviewWorker {
  public:
    PreviewWorker(HWND window, PictureReducer* reducer)
        : window_(window), reducer_(reducer), thread_([this] { Loop(); }) {}

    ~PreviewWorker() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            pending_.reset();
            if (running_ != nullptr)
                ::SetEvent(running_);
        }
        wake_.notify_all();
        thread_.join();
        if (done_)
            DeleteFileAnsi(done_->result.picture);
        for (const auto& kept : copies_)
            DeleteFileAnsi(kept.second.copy);
    }
    PreviewWorker(const PreviewWorker&) = delete;
    PreviewWorker& operator=(const PreviewWorker&) = delete;

    void Start(Job job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pending_ = std::move(job);
            if (running_ != nullptr)
                ::SetEvent(running_);
        }
        wake_.notify_all();
    }

    void EndRunning() {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.reset();
        if (running_ != nullptr)
            ::SetEvent(running_);
    }

    // The preview of generation, when it is the one that ended last.
    std::optional<Done> Take(unsigned generation) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!done_ || done_->generation != generation)
            return std::nullopt;
        std::optional<Done> taken = std::move(done_);
        done_.reset();
        return taken;
    }

  private:
    void Loop() {
        for (;;) {
            UniqueHandle cancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
            Job job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
                if (stopping_)
                    return;
                job = std::move(*pending_);
                pending_.reset();
                running_ = cancel.get();
            }
            Done done;
            done.generation = job.generation;
            done.result = Make(job, cancel.get());
            if (!job.request.pictures.empty())
                done.firstCopy = job.request.pictures.front().copy;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                running_ = nullptr;
                if (done.result.ended || job.copiesOnly)
                    continue;
                if (done_)
                    DeleteFileAnsi(done_->result.picture);
                done_ = std::move(done);
            }
            ::PostMessageW(window_, kPreviewDoneMessage, job.generation, 0);
        }
    }

    static bool Cancelled(HANDLE cancel) {
        return ::WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0;
    }

    PreviewResult Make(Job& job, HANDLE cancel) {
        // Copies of pictures that left their slots go; the others serve every preview.
        const std::set<std::string> inSlots(job.paths.begin(), job.paths.end());
        for (auto kept = copies_.begin(); kept != copies_.end();) {
            if (inSlots.count(kept->first) != 0) {
                ++kept;
                continue;
            }
            DeleteFileAnsi(kept->second.copy);
            kept = copies_.erase(kept);
        }
        for (const std::string& path : job.paths) {
            auto kept = copies_.find(path);
            if (kept == copies_.end()) {
                std::string why;
                std::optional<KeptCopy> made = Reduce(path, why);
                if (!made) {
                    PreviewResult result;
                    result.problem = why;
                    return result;
                }
                kept = copies_.emplace(path, std::move(*made)).first;
            }
            job.request.pictures.push_back({path, kept->second.copy, kept->second.size});
            if (Cancelled(cancel)) {
                PreviewResult result;
                result.ended = true;
                return result;
            }
        }
        if (job.copiesOnly)
            return PreviewResult{};
        const DWORD left = job.notBefore - ::GetTickCount();
        if (left <= kQuietMs && ::WaitForSingleObject(cancel, left) == WAIT_OBJECT_0) {
            PreviewResult result;
            result.ended = true;
            return result;
        }
        return runs_.Run(job.request, cancel);
    }

    std::optional<KeptCopy> Reduce(const std::string& path, std::string& why) {
        Reduction made = reducer_ != nullptr ? reducer_->Reduce(path) : Reduction{};
        why = made.refusal.empty() ? "cannot make a reduced copy of " + path : made.refusal;
        if (!made.picture)
            return std::nullopt;
        const std::string copy = made.picture->copyPath;
        const std::optional<PixelSize> size =
            PictureHeaderSize(ReadFileBytes(copy, kPngHeaderBytes));
        if (!size) {
            DeleteFileAnsi(copy);
            return std::nullopt;
        }
        return KeptCopy{copy, *size};
    }

    HWND window_;
    PictureReducer* reducer_;
    PreviewRuns runs_;
    std::map<std::string, KeptCopy> copies_;  // the worker's own
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    std::optional<Done> done_;
    HANDLE running_ = nullptr;  // the running preview's cancel event
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once the rest is made
};

struct PreviewState {
    std::unique_ptr<PreviewWorker> worker;
    unsigned generation = 0;  // of the preview started last
    std::string startedKey;   // what it was made of
    bool shown = false;       // the output area shows a preview
    std::string firstCopy;    // the shown preview's first picture, reduced
};

PreviewState& State() {
    static PreviewState state;
    return state;
}

bool LiveOn() {
    return App().mainMenu != nullptr &&
           (::GetMenuState(App().mainMenu, kCmdLivePreview, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// A picture on its way into a slot, counted as there.
struct Landing {
    int index = 0;
    std::string path;
};

std::string SlotPath(int index, const Landing& landing) {
    return index == landing.index ? landing.path
                                  : InputSlots()[static_cast<std::size_t>(index)].path;
}

std::optional<Wanted> WantedPreview(HWND window, const Landing& landing = {}) {
    const AppState& app = App();
    if (!LiveOn() || app.currentScript == 0 || !app.catalogue.Contains(app.currentScript))
        return std::nullopt;
    const ScriptEntry& entry = app.catalogue.At(app.currentScript);
    if (entry.settings.empty() || entry.argCount < 1)
        return std::nullopt;
    for (int i = 1; i <= entry.argCount && i <= kSlotCount; ++i) {
        if (SlotPath(i, landing).empty())
            return std::nullopt;
    }
    SettingValues values = SettingValuesFor(entry.settings, SettingRowValues(window));
    Wanted wanted;
    if (!values.problem.empty()) {
        wanted.typing = true;
        return wanted;
    }
    wanted.key = std::to_string(app.currentScript) + '\0' + entry.body + '\0';
    for (const SettingValue& value : values.values)
        wanted.key += value.name + '=' + value.text + '\0';
    for (int i = 1; i <= entry.argCount && i <= kSlotCount; ++i) {
        wanted.paths.push_back(SlotPath(i, landing));
        wanted.key += wanted.paths.back() + '\0';
    }
    wanted.request.body = entry.body;
    wanted.request.eraseTemp = entry.eraseTemp == 1;
    wanted.request.settings = std::move(values.values);
    return wanted;
}

// The slots' pictures a preview of the chosen script will want reduced; none for a script
// that gets no preview.
std::vector<std::string> PicturesToReduce(const Landing& landing = {}) {
    const AppState& app = App();
    std::vector<std::string> paths;
    if (!LiveOn() || !app.catalogue.Contains(app.currentScript) ||
        app.catalogue.At(app.currentScript).settings.empty())
        return paths;
    for (int i = 1; i <= app.catalogue.At(app.currentScript).argCount && i <= kSlotCount; ++i) {
        const std::string path = SlotPath(i, landing);
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

void StartCopies(std::vector<std::string> paths) {
    if (paths.empty())
        return;
    Job copies;
    copies.copiesOnly = true;
    copies.paths = std::move(paths);
    State().worker->Start(std::move(copies));  // ends a running preview
    State().startedKey.clear();                // so the next one starts afresh
}

void ShowOutputStatus(HWND window, const wchar_t* text) {
    SetOutputStatus(window, "");
    ::SetDlgItemTextW(window, kOutputStatusId, text);
}

// Ends a running preview and takes a shown one away.
void EndPreview(HWND window) {
    PreviewState& state = State();
    ++state.generation;
    state.startedKey.clear();
    if (state.worker)
        state.worker->EndRunning();
    if (!state.shown)
        return;
    state.shown = false;
    InputSlots()[0].picture.reset();
    DrawPictureFitted(window, nullptr, kOutputPictureId);
    SetOutputStatus(window, "");
}

}  // namespace

bool LivePreviewKeptOn() {
    const std::string path = ChoicePath();
    return path.empty() || !FileExists(path) || ReadFileBytes(path, 16) != kOffText;
}

void StartLivePreview(HWND window) {
    PreviewState& state = State();
    state.worker.reset();
    state.worker = std::make_unique<PreviewWorker>(window, App().pictureReducer.get());
    state.startedKey.clear();
    state.shown = false;
    // A large picture's own reading takes the window's thread for a second. Its reduced copy,
    // and the preview when the picture fills the last slot, start on the worker as it begins;
    // the preview's run still waits for the quiet time after the drop.
    SetSlotLandingListener([](HWND changed, int index, const std::string& path) {
        PreviewState& preview = State();
        if (App().busy)
            return;
        std::optional<Wanted> wanted = WantedPreview(changed, {index, path});
        if (!wanted || wanted->typing) {
            StartCopies(PicturesToReduce({index, path}));
            return;
        }
        preview.startedKey = wanted->key;
        Job job;
        job.generation = ++preview.generation;
        job.notBefore = ::GetTickCount() + kQuietMs;
        job.request = std::move(wanted->request);
        job.paths = std::move(wanted->paths);
        preview.worker->Start(std::move(job));
    });
    SetSlotChangeListener([](HWND changed) {
        const std::optional<Wanted> wanted = WantedPreview(changed);
        if (wanted && !wanted->typing && wanted->key == State().startedKey)
            return;  // begun as the picture started landing
        PreviewSoon(changed);
        // A new picture's reduced copy is the slow part: it is made as soon as the picture
        // lands, while the user fills the other slots or changes pause.
        StartCopies(PicturesToReduce());
    });
}

void StopLivePreview(HWND window) {
    ::KillTimer(window, kPreviewTimer);
    SetSlotChangeListener(nullptr);
    SetSlotLandingListener(nullptr);
    State().worker.reset();
    State().shown = false;
}

void PreviewSoon(HWND window) {
    if (State().worker)
        ::SetTimer(window, kPreviewTimer, kQuietMs, nullptr);  // a change meanwhile restarts it
}

void SetLivePreviewAside(HWND window) {
    ::KillTimer(window, kPreviewTimer);
    PreviewState& state = State();
    ++state.generation;
    state.shown = false;
    if (state.worker)
        state.worker->EndRunning();
    const std::optional<Wanted> wanted = WantedPreview(window);
    state.startedKey = wanted ? wanted->key : std::string();
}

void OnLivePreviewCommand(HWND window) {
    const bool on = !LiveOn();
    ::CheckMenuItem(App().mainMenu, kCmdLivePreview, MF_BYCOMMAND | (on ? MF_CHECKED : 0));
    const std::string path = ChoicePath();
    if (!path.empty()) {
        if (on)
            DeleteFileAnsi(path);
        else
            WriteWholeFile(path, kOffText);
    }
    EndPreview(window);
    if (on)
        PreviewSoon(window);
}

bool OnLivePreviewTimer(HWND window, WPARAM timer) {
    if (timer != kPreviewTimer)
        return false;
    ::KillTimer(window, kPreviewTimer);
    PreviewState& state = State();
    if (!state.worker)
        return true;
    if (App().busy) {
        PreviewSoon(window);  // a run has the output area; the preview waits for its end
        return true;
    }
    std::optional<Wanted> wanted = WantedPreview(window);
    if (!wanted) {
        EndPreview(window);
        return true;
    }
    if (wanted->typing || wanted->key == state.startedKey)
        return true;  // a control told of a change that changed nothing
    state.startedKey = wanted->key;
    Job job;
    job.generation = ++state.generation;
    job.request = std::move(wanted->request);
    job.paths = std::move(wanted->paths);
    state.worker->Start(std::move(job));
    return true;
}

void OnLivePreviewDone(HWND window, WPARAM generation) {
    PreviewState& state = State();
    if (!state.worker)
        return;
    std::optional<Done> done = state.worker->Take(static_cast<unsigned>(generation));
    if (!done)
        return;
    const std::optional<Wanted> wanted = WantedPreview(window);
    if (done->generation != state.generation || !wanted || wanted->key != state.startedKey) {
        DeleteFileAnsi(done->result.picture);  // made for what the window no longer holds
        return;
    }
    InputSlot& output = InputSlots()[0];
    HWND area = ::GetDlgItem(window, kOutputPictureId);
    if (done->result.picture.empty()) {
        state.shown = false;
        output.picture.reset();
        DrawPictureFitted(window, nullptr, kOutputPictureId);
        SetOutputStatus(window, done->result.problem);
        return;
    }
    AreaPicture loaded = LoadPictureForArea(done->result.picture, PictureAreaSize(area));
    if (!loaded.reducedCopy.empty())
        DeleteFileAnsi(loaded.reducedCopy);
    output.picture =
        loaded.preview ? std::make_unique<SlotPicture>(std::move(loaded.preview)) : nullptr;
    DrawPictureFitted(window, SlotImage(output), kOutputPictureId);
    // Decoded into a fitted copy, the file has served; a picture held whole goes with the
    // previews' folder.
    DeleteFileAnsi(done->result.picture);
    state.shown = output.picture != nullptr;
    state.firstCopy = done->firstCopy;
    if (state.shown)
        ShowOutputStatus(window, kPreviewStatus);
    else
        SetOutputStatus(window, "cannot show the preview " + done->result.picture);
}

bool OnOutputAreaHold(HWND window, int code) {
    if (code != kAreaPressed && code != kAreaReleased)
        return false;
    const PreviewState& state = State();
    if (!state.shown)
        return true;
    if (code == kAreaReleased) {
        DrawPictureFitted(window, SlotImage(InputSlots()[0]), kOutputPictureId);
        return true;
    }
    const AreaPicture before = LoadPictureForArea(
        state.firstCopy, PictureAreaSize(::GetDlgItem(window, kOutputPictureId)));
    if (!before.reducedCopy.empty())
        DeleteFileAnsi(before.reducedCopy);
    DrawPictureFitted(window, before.preview ? before.preview.get() : SlotImage(InputSlots()[1]),
                      kOutputPictureId);
    return true;
}

}  // namespace quillon

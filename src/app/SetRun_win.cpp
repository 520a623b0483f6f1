#include "app/SetRun_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/AppState_win.h"
#include "app/SetRunText.h"
#include "app/SettingRows_win.h"
#include "base/AnsiText_win.h"
#include "base/DialogItems_win.h"
#include "base/Files_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "dialogs/DialogTemplate_win.h"
#include "dialogs/MsgBoxContent.h"
#include "dialogs/MyMsgBox_win.h"
#include "execution/ExecuteScript_win.h"
#include "execution/PictureReduction_win.h"
#include "execution/PictureSet.h"
#include "execution/PictureSetRunner_win.h"
#include "pictures/InputSlots.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/PictureFilter.h"
#include "pictures/PictureFolder_win.h"
#include "pictures/SlotSet_win.h"
#include "settings/Settings_win.h"

namespace quillon {

namespace {

constexpr char kCaption[] = "Quillon";
constexpr int kQuestionStyle = MB_YESNO | MB_ICONQUESTION;
constexpr int kYes = 1;
constexpr int kWarningStyle = MB_ICONWARNING;
constexpr int kInformationStyle = MB_ICONINFORMATION;
constexpr char kLogName[] = "Quillon batch log.txt";
constexpr int kSummaryLines = 2;
constexpr char kWaitingText[] = "Waiting for another run into the same folder to end...";
constexpr char kExistingButtons[] = "&Replace;&Skip;Cancel";
constexpr int kReplace = 1;
constexpr int kSkip = 2;
constexpr char kSubfoldersCheck[] = "Include &subfolders";
constexpr char kKeepDatesCheck[] = "&Keep each picture's date on its output";

constexpr wchar_t kProgressClass[] = L"QuillonSetProgress";
constexpr int kLineId = 101;
constexpr int kBarId = 102;
constexpr int kTimesId = 103;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 100;
constexpr int kBarRange = 1000;
// The progress window's layout, in pixels of its client area.
constexpr int kWidth = 420;
constexpr int kMargin = 12;
constexpr int kLineHeight = 18;
constexpr int kBarHeight = 18;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kGap = 8;

// What the progress window reads on its timer; the workers write only the counts.
struct ProgressView {
    const SetProgress* progress = nullptr;
    const SetPlan* plan = nullptr;
    HANDLE cancel = nullptr;
    std::chrono::steady_clock::time_point start;
};

// Screen readers read a live region's new text when it changes, without the focus on it.
// Marked polite: the reader finishes what it is saying first.
void MarkAsLiveRegion(HWND control) {
    static constexpr GUID kAccPropServices = {
        0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    static constexpr GUID kAccPropServicesInterface = {
        0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    static constexpr GUID kLiveSetting = {
        0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
    constexpr LONG kPolite = 1;
    IAccPropServices* made = nullptr;
    if (FAILED(::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  kAccPropServicesInterface, reinterpret_cast<void**>(&made))))
        return;
    const UniqueComRef<IAccPropServices> services(made);
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services.get()->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                kLiveSetting, polite);
}

// Sets a line's text; where it changed, a screen reader is told to read it.
void SetLiveText(HWND dialog, int id, const std::string& text) {
    if (ItemText(dialog, id) == text)
        return;
    SetItemText(dialog, id, text);
    // EVENT_OBJECT_LIVEREGIONCHANGED, which headers for Windows 7 do not name; readers
    // there ignore it.
    constexpr DWORD kLiveRegionChanged = 0x8019;
    ::NotifyWinEvent(kLiveRegionChanged, ::GetDlgItem(dialog, id), OBJID_CLIENT, CHILDID_SELF);
}

void UpdateProgress(HWND dialog, const ProgressView& view) {
    const int total = static_cast<int>(view.plan->pictures.size());
    const int done = view.progress->finished.load();
    const int last = view.progress->lastStarted.load();
    const std::string name = last >= 0 && last < total
                                 ? std::string(FileNameOf(view.plan->pictures[last].path))
                                 : std::string();
    const std::string line =
        view.progress->waiting.load() ? std::string(kWaitingText) : ProgressLine(done, total, name);
    SetLiveText(dialog, kLineId, line);
    const long elapsed = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(
                                               std::chrono::steady_clock::now() - view.start)
                                               .count());
    ::SetDlgItemTextW(dialog, kTimesId, WidenAnsi(TimesLine(elapsed, done, total)).c_str());
    ::SendDlgItemMessageW(dialog, kBarId, PBM_SETPOS,
                          total > 0 ? static_cast<WPARAM>(kBarRange * done / total) : 0, 0);
}

void CancelFromWindow(HWND dialog, const ProgressView& view) {
    ::SetEvent(view.cancel);
    ::EnableWindow(::GetDlgItem(dialog, IDCANCEL), FALSE);
    ::SetDlgItemTextW(dialog, kTimesId, L"Cancelling...");
    ::KillTimer(dialog, kTimerId);
}

LRESULT CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<ProgressView*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
    switch (message) {
        case WM_TIMER:
            if (view != nullptr)
                UpdateProgress(dialog, *view);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL && view != nullptr)
                CancelFromWindow(dialog, *view);
            return 0;
        case WM_CLOSE:
            if (view != nullptr)
                CancelFromWindow(dialog, *view);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(dialog, message, wParam, lParam);
}

HWND AddChild(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, int id, int x,
              int y, int width, int height) {
    HWND child =
        ::CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    return child;
}

// Titled with the script's name, so that it is told apart from Quillon's message boxes.
HWND OpenProgressWindow(HWND owner, const std::string& title, ProgressView& view) {
    static const bool registered = [] {
        WNDCLASSW type{};
        type.lpfnWndProc = ProgressProc;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        type.lpszClassName = kProgressClass;
        return ::RegisterClassW(&type) != 0;
    }();
    if (!registered)
        return nullptr;
    const int inner = kWidth - 2 * kMargin;
    const int barTop = kMargin + kLineHeight + kGap;
    const int timesTop = barTop + kBarHeight + kGap;
    const int buttonTop = timesTop + kLineHeight + kGap;
    const int height = buttonTop + kButtonHeight + kMargin;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, kWidth, height};
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    HWND dialog = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kProgressClass, WidenAnsi(title).c_str(),
                                    style, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                                    owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (dialog == nullptr)
        return nullptr;
    ::SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view));
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(owner, WM_GETFONT, 0, 0));
    for (HWND child :
         {AddChild(dialog, L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kLineId, kMargin,
                   kMargin, inner, kLineHeight),
          AddChild(dialog, PROGRESS_CLASSW, L"", 0, kBarId, kMargin, barTop, inner, kBarHeight),
          AddChild(dialog, L"STATIC", L"", SS_LEFT, kTimesId, kMargin, timesTop, inner,
                   kLineHeight),
          AddChild(dialog, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                   kWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight)}) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ::SendDlgItemMessageW(dialog, kBarId, PBM_SETRANGE32, 0, kBarRange);
    MarkAsLiveRegion(::GetDlgItem(dialog, kLineId));
    ScaleLaidOutWindow(dialog);
    CenterOnOwner(dialog);
    UpdateProgress(dialog, view);
    ::SetTimer(dialog, kTimerId, kTimerMs, nullptr);
    ::ShowWindow(dialog, SW_SHOW);
    // Cancel is the one thing to do here: it has the focus, and shows it, so that Space or
    // Enter reaches it without the mouse.
    ShowFocusMarks(dialog);
    ::SetFocus(::GetDlgItem(dialog, IDCANCEL));
    return dialog;
}

// Waits for the set's thread while the window's messages flow; the main window's end or a
// WM_QUIT cancels the set, and the quit is passed on once the set has stopped.
void WaitWithMessages(HWND window, HWND dialog, HANDLE finished, HANDLE cancel) {
    std::optional<int> quitCode;
    while (::WaitForSingleObject(finished, 0) != WAIT_OBJECT_0) {
        ::MsgWaitForMultipleObjects(1, &finished, FALSE, INFINITE, QS_ALLINPUT);
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitCode = static_cast<int>(message.wParam);
                ::SetEvent(cancel);
                continue;
            }
            if (dialog != nullptr && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &message))
                continue;
            if (!::IsDialogMessageW(window, &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        if (!::IsWindow(window) || !::IsWindowVisible(window))
            ::SetEvent(cancel);
    }
    if (quitCode)
        ::PostQuitMessage(*quitCode);
}

}  // namespace

std::optional<std::string> RunSlotOneSet(HWND window) {
    AppState& app = App();
    const std::optional<int> argCount = ChosenArgCount();
    if (!argCount || *argCount < 1 || SlotOneSet().size() < 2)
        return std::nullopt;
    const ScriptEntry entry = app.catalogue.At(app.currentScript);

    std::vector<BatchPicture> others;
    for (int i = 2; i <= *argCount && i <= kSlotCount; ++i) {
        const InputSlot& slot = InputSlots()[static_cast<std::size_t>(i)];
        others.push_back({TrimBlanks(slot.path), slot.width, slot.height});
    }
    // What the script cannot do with any folder is said before anything is asked.
    const std::string body = TrimBlanks(entry.body);
    const std::vector<std::pair<std::string, std::string>> given = SettingRowValues(window);
    const SettingValues values = SettingValuesFor(entry.settings, given);
    if (!values.problem.empty()) {
        MyMsgBox(window, values.problem, kCaption, kMbIconError, "");
        return std::nullopt;
    }
    const std::vector<SettingValue>& settings = values.values;
    {
        std::vector<std::string> pictures;
        for (const FolderPicture& picture : SlotOneSetFor(false))
            pictures.push_back(picture.path);
        const SetPlan anywhere =
            PlanSet(body, pictures, std::vector<std::string>(pictures.size(), "?\\"), others,
                    nullptr, settings);
        if (!anywhere.refusal.empty()) {
            MyMsgBox(window, anywhere.refusal, kCaption, kMbIconError, "");
            return std::nullopt;
        }
    }
    // The policy decides each picture's folder, a subfolder's pictures keeping the tree; a
    // folder question is asked once for all.
    std::optional<std::string> asked;
    ScriptRun asIfAlone;
    asIfAlone.programFolder = ProgramFolder();
    std::string firstFolder;
    auto planFor = [&](bool withSubfolders) -> std::optional<SetPlan> {
        std::vector<std::string> pictures;
        std::vector<std::string> folders;
        for (const FolderPicture& picture : SlotOneSetFor(withSubfolders)) {
            asIfAlone.pictures = {{picture.path, 0, 0}};
            asIfAlone.pictures.insert(asIfAlone.pictures.end(), others.begin(), others.end());
            std::optional<std::string> folder =
                PolicyOutputFolder(app.outputPolicy, asIfAlone.pictures, asIfAlone.programFolder);
            const bool besidePicture =
                folder && EqualsIgnoringAsciiCase(*folder, FolderOf(picture.path));
            if (!folder) {
                if (!asked) {
                    asked = ChooseOutputFolder(window, app.outputPolicy, asIfAlone);
                    if (!asked)
                        return std::nullopt;
                }
                folder = asked;
            }
            pictures.push_back(picture.path);
            folders.push_back(besidePicture ? *folder : *folder + picture.subfolder);
        }
        if (!folders.empty())
            firstFolder = folders.front();
        return PlanSet(body, pictures, folders, others, LastWriteTime, settings);
    };

    SetRunChoices choices = LoadSetRunChoices();
    const bool offerSubfolders =
        std::any_of(SlotOneFolders().begin(), SlotOneFolders().end(), HasSubfolders);
    const bool counted = offerSubfolders && choices.withSubfolders;
    std::optional<SetPlan> plan = planFor(counted);
    if (!plan)
        return std::nullopt;
    if (!plan->refusal.empty()) {
        MyMsgBox(window, plan->refusal, kCaption, kMbIconError, "");
        return std::nullopt;
    }
    const int existing = ExistingOutputs(*plan);
    const int count = static_cast<int>(plan->pictures.size());
    const std::wstring question = L"Run \u00AB" + WidenAnsi(TrimBlanks(entry.displayName)) +
                                  L"\u00BB on " + std::to_wstring(count) +
                                  (count == 1 ? L" picture?" : L" pictures?");
    const std::string text = NarrowToAnsiMarked(question) +
                             QuestionDetails(count, existing, plan->leftOut) +
                             SettingsDetails(entry.settings, given);
    std::vector<MsgBoxCheck> checks;
    if (offerSubfolders)
        checks.push_back({kSubfoldersCheck, choices.withSubfolders});
    checks.push_back({kKeepDatesCheck, choices.keepDates});
    const int answer =
        existing > 0 ? MyMsgBox(window, text, kCaption, MB_ICONQUESTION, kExistingButtons, checks)
                     : MyMsgBox(window, text, kCaption, kQuestionStyle, "", checks);
    if (existing > 0 ? answer != kReplace && answer != kSkip : answer != kYes)
        return std::nullopt;
    if (offerSubfolders)
        choices.withSubfolders = checks.front().checked;
    choices.keepDates = checks.back().checked;
    SaveSetRunChoices(choices);
    // Ticking the subfolders in the question, or clearing them, changes the set it counted;
    // the answer about existing outputs holds for the new one (Yes replaces, as a run does).
    if (offerSubfolders && choices.withSubfolders != counted) {
        plan = planFor(choices.withSubfolders);
        if (!plan)
            return std::nullopt;
        if (!plan->refusal.empty()) {
            MyMsgBox(window, plan->refusal, kCaption, kMbIconError, "");
            return std::nullopt;
        }
    }
    SetRequest request;
    request.body = entry.body;
    request.settings = settings;
    request.eraseTemp = entry.eraseTemp == 1;
    request.plan = std::move(*plan);
    if (existing > 0 && answer == kSkip)
        SkipExisting(request.plan);
    request.others = std::move(others);
    request.jobs = DefaultSetJobs();
    request.keepDates = choices.keepDates;
    request.pictureSize = [](const std::string& path) {
        const std::optional<PixelSize> decoded = DecodedPictureSize(path);
        if (decoded || !NeedsImageMagickToRead(FileNameOf(path)))
            return decoded;
        return ImageMagickPictureSize(path);
    };
    // The previous result may be one of the files the set replaces.
    InputSlots()[0].picture.reset();

    const UniqueHandle cancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueHandle finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!cancel || !finished)
        return std::nullopt;
    const std::string started = LogTimeNow();
    SetProgress progress;
    std::mutex outcomesLock;
    std::vector<PictureOutcome> outcomes;
    std::optional<std::size_t> lastCreated;
    bool complete = request.plan.pictures.empty();
    std::thread worker;
    if (!complete) {
        worker = std::thread([&] {
            complete = RunPictureSet(request, cancel.get(), progress, [&](const PictureOutcome& o) {
                std::lock_guard<std::mutex> lock(outcomesLock);
                if (o.verdict != PictureVerdict::kFailed)
                    lastCreated = outcomes.size();
                outcomes.push_back(o);
            });
            ::SetEvent(finished.get());
        });
        ProgressView view{&progress, &request.plan, cancel.get(), std::chrono::steady_clock::now()};
        HWND dialog = OpenProgressWindow(window, TrimBlanks(entry.displayName), view);
        WaitWithMessages(window, dialog, finished.get(), cancel.get());
        worker.join();
        if (dialog != nullptr && ::IsWindow(dialog))
            ::DestroyWindow(dialog);
    }
    // The log always tells of the last run, a clean one too.
    const std::string logPath =
        (request.plan.pictures.empty() ? firstFolder : request.plan.pictures.front().outputFolder) +
        kLogName;
    const bool logged = WriteWholeFile(
        logPath,
        RunLogText({TrimBlanks(entry.displayName), TrimBlanks(entry.fileName), started, !complete},
                   request.plan, outcomes));
    if (!::IsWindow(window) || !::IsWindowVisible(window))
        return std::nullopt;  // closed while the set ran: nobody left to tell

    SetSummary summary;
    summary.total = static_cast<int>(request.plan.pictures.size());
    summary.created = progress.created.load();
    summary.warnings = progress.warnings.load();
    summary.failed = progress.failed.load();
    summary.skipped = request.plan.skipped;
    summary.leftOut = request.plan.leftOut;
    summary.cancelled = !complete;
    for (const PictureOutcome& outcome : outcomes) {
        if (outcome.verdict == PictureVerdict::kCreated)
            continue;
        summary.entries.push_back(
            {outcome.verdict == PictureVerdict::kFailed,
             std::string(FileNameOf(request.plan.pictures[outcome.index].path)),
             FirstLines(outcome.output, kSummaryLines), outcome.keptAs});
    }
    if (logged && !summary.entries.empty())
        summary.logPath = logPath;
    const int style = summary.failed > 0     ? kMbIconError
                      : summary.warnings > 0 ? kWarningStyle
                                             : kInformationStyle;
    MyMsgBox(window, SummaryText(summary), kCaption, style, "");
    if (!lastCreated)
        return std::nullopt;
    return outcomes[*lastCreated].outputFile;
}

}  // namespace quillon

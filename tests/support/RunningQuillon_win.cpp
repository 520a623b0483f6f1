#include "support/RunningQuillon_win.h"

#include <fstream>

#include <shlobj.h>

#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "pictures/InputSlots.h"

namespace quillon::testing {

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kTitle[] = L"Quillon v0.1 - Veltrane 2014";
constexpr wchar_t kPopUpTitle[] = L"Quillon";  // the picture chooser and every message box
constexpr int kMsgBoxTextId = 12300;
constexpr int kMsgBoxFirstButtonId = 12302;

std::wstring Install(const fs::path& folder, const RunningQuillon::Files& files) {
    // A second window on one folder runs the program already there, which is in use.
    const fs::path installed = folder / L"Quillon.exe";
    const std::wstring exe =
        fs::exists(installed) ? installed.wstring() : InstallQuillon(folder.wstring(), false);
    for (const auto& [name, bytes] : files)
        std::ofstream(folder / name, std::ios::binary) << bytes;
    return exe;
}

}  // namespace

HWND FileNameBox(HWND dialog) {
    HWND found = nullptr;
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t name[32] = {};
            ::GetClassNameW(child, name, 32);
            const int id = ::GetDlgCtrlID(child);
            if (std::wstring(name) == L"Edit" &&
                (id == 0x480 || ::GetDlgCtrlID(::GetParent(child)) == 0x47c)) {
                *reinterpret_cast<HWND*>(out) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

RunningQuillon::RunningQuillon(const fs::path& folder, const Files& files,
                               const std::wstring& arguments)
    : program_(Install(folder, files), arguments) {
    window_ = program_.WaitForWindow(kTitle);
}

RunningQuillon::RunningQuillon(const fs::path& folder, const std::string& script)
    : RunningQuillon(folder, Files{{"script.xml", script}}) {}

RunningQuillon::~RunningQuillon() {
    // Closed and waited for, so that what it writes on closing (its window position) is
    // there before the next test starts.
    if (window_ != nullptr)
        Close();
}

std::filesystem::path QuillonPositionFile() {
    wchar_t folder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::filesystem::path(folder) / L"Quillon.pos";
}

std::string RunningQuillon::Text(int id) const {
    return NarrowToAnsiMarked(TextOf(Control(id)));
}

void RunningQuillon::ChooseScript(int item) {
    ::SendMessageW(Control(kScriptListId), CB_SETCURSEL, static_cast<WPARAM>(item - 1), 0);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(kScriptListId, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(Control(kScriptListId)));
}

bool RunningQuillon::FillSlot(int slot, const fs::path& picture) {
    ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(kSlotIdBase + slot, STN_CLICKED),
                   reinterpret_cast<LPARAM>(Control(kSlotIdBase + slot)));
    return AnswerChooser(picture);
}

HWND RunningQuillon::Focus() const {
    GUITHREADINFO state{};
    state.cbSize = sizeof(state);
    const DWORD thread = ::GetWindowThreadProcessId(window_, nullptr);
    return ::GetGUIThreadInfo(thread, &state) ? state.hwndFocus : nullptr;
}

void RunningQuillon::Key(WPARAM key) {
    HWND target = Focus() != nullptr ? Focus() : window_;
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
}

bool RunningQuillon::AnswerChooser(const fs::path& picture) {
    HWND chooser = program_.WaitForWindow(kPopUpTitle);
    HWND box = chooser == nullptr ? nullptr : FileNameBox(chooser);
    if (box == nullptr)
        return false;
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(picture.wstring().c_str()));
    ::PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const std::string name = NarrowToAnsiMarked(picture.filename().wstring());
    return WaitUntil([&] { return Text(kInputStatusId).rfind(name, 0) == 0; });
}

bool RunningQuillon::FillSlotOne(const fs::path& folder, const std::vector<std::wstring>& names) {
    Click(kSlotIdBase + 1);
    HWND chooser = program_.WaitForWindow(kPopUpTitle);
    HWND box = chooser == nullptr ? nullptr : FileNameBox(chooser);
    if (box == nullptr)
        return false;
    std::wstring quoted;
    for (const std::wstring& name : names)
        quoted += L"\"" + name + L"\" ";
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.wstring().c_str()));
    ::SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(quoted.c_str()));
    ::PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const std::string count = std::to_string(names.size()) + " pictures";
    return WaitUntil([&] { return Text(kInputStatusId) == count; });
}

void RunningQuillon::Click(int id) {
    ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Control(id)));
}

void RunningQuillon::Execute() {
    Click(kExecuteButtonId);
}

void RunningQuillon::Command(int id) {
    ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::string RunningQuillon::AnswerMessage(int button) {
    HWND box = program_.WaitForWindow(kPopUpTitle);
    if (box == nullptr)
        return "(no message box)";
    const std::string text = NarrowToAnsiMarked(TextOf(::GetDlgItem(box, kMsgBoxTextId)));
    const int id = kMsgBoxFirstButtonId + button - 1;
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
    WaitUntil([&] { return !::IsWindow(box); });
    return text;
}

long RunningQuillon::Close() {
    if (window_ != nullptr && ::IsWindow(window_))
        ::PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    window_ = nullptr;
    return program_.WaitForExit();
}

}  // namespace quillon::testing

#include "app/HandOver_win.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "app/AppState_win.h"
#include "app/HandedPictures.h"
#include "app/MenuIds.h"
#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Files_win.h"
#include "base/FullPath_win.h"
#include "base/ProgramFolder_win.h"
#include "base/Text.h"
#include "pictures/InputSlots.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotSet_win.h"

namespace quillon {
namespace {

// Tells our block of paths from any other WM_COPYDATA a window may be sent ("QPIC").
constexpr ULONG_PTR kHandedPicturesTag = 0x51504943;
// Long enough for a window busy drawing a preview, short enough that a hung one does not
// keep Explorer's start waiting: the second start then opens a window of its own.
constexpr UINT kHandOverTimeoutMs = 5000;

// While a run goes or a dialog is open, handed pictures are tried again this often.
constexpr UINT_PTR kRetryTimer = kPlaceHandedPicturesMessage;
constexpr UINT kRetryMs = 500;

struct LocalFreeDeleter {
    void operator()(LPWSTR* arguments) const { ::LocalFree(arguments); }
};

// The mark a window of this program folder carries: two copies in different folders are
// different programs with different scripts, and Windows spells one folder in any case.
std::wstring WindowMark() {
    return L"Quillon window " + WidenAnsi(Fingerprint(PathKey(ProgramFolder())));
}

std::vector<std::string>& Offered() {
    static std::vector<std::string> offered;
    return offered;
}

struct Search {
    std::wstring mark;
    HWND found = nullptr;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<Search*>(state);
    if (::GetPropW(window, search->mark.c_str()) == nullptr)
        return TRUE;
    search->found = window;
    return FALSE;
}

std::vector<bool> FilledSlots(int argCount) {
    std::vector<bool> filled;
    for (int slot = 1; slot <= std::min(argCount, kSlotCount); ++slot)
        filled.push_back(InputSlots()[static_cast<std::size_t>(slot)].picture != nullptr);
    return filled;
}

}  // namespace

std::vector<std::wstring> CommandLinePaths() {
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::wstring> paths;
    for (int i = 1; arguments && i < count; ++i) {
        const std::wstring argument = arguments.get()[i];
        if (argument.empty())
            continue;
        // Explorer names full paths; one typed in a console is taken from where it was typed.
        // What names no file or folder (a switch, a typing error) is passed over.
        const std::wstring path = FullPathOf(argument).value_or(argument);
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            paths.push_back(path);
    }
    return paths;
}

bool HandToRunningWindow(const std::vector<std::wstring>& paths) {
    Search search{WindowMark()};
    ::EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return false;
    std::vector<std::u16string> units;
    for (const std::wstring& path : paths)
        units.emplace_back(path.begin(), path.end());
    const std::u16string block = JoinHandedPaths(units);
    COPYDATASTRUCT data{kHandedPicturesTag, static_cast<DWORD>(block.size() * sizeof(char16_t)),
                        const_cast<char16_t*>(block.data())};
    // This start is what the user just did, so it may hand the foreground on.
    DWORD owner = 0;
    ::GetWindowThreadProcessId(search.found, &owner);
    ::AllowSetForegroundWindow(owner);
    DWORD_PTR taken = FALSE;
    if (::SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                              SMTO_ABORTIFHUNG, kHandOverTimeoutMs, &taken) == 0 ||
        taken == FALSE)
        return false;
    if (::IsIconic(search.found))
        ::ShowWindow(search.found, SW_RESTORE);
    ::SetForegroundWindow(search.found);
    return true;
}

void MarkProgramWindow(HWND window) {
    ::SetPropW(window, WindowMark().c_str(), window);
}

void UnmarkProgramWindow(HWND window) {
    ::RemovePropW(window, WindowMark().c_str());
}

void KeepHandedPictures(const std::vector<std::wstring>& paths) {
    // Narrowed as a dropped name is: a character the code page lacks is marked, not guessed.
    Offered().clear();
    for (const std::wstring& path : paths)
        Offered().push_back(NarrowToAnsiMarked(path));
}

void DecodeFirstHandedPictureAhead() {
    // A folder's pictures are listed only once it is placed; the first file is slot 1's.
    if (!Offered().empty() && !IsFolder(Offered().front()))
        DecodeAhead(Offered().front());
}

void PlaceHandedPictures(HWND window) {
    std::vector<std::string>& offered = Offered();
    if (offered.empty())
        return;
    const std::optional<int> argCount = ChosenArgCount();
    // A run reads the slots, and a dialog of the window may be about them: not now.
    const bool canPlace = argCount && !App().busy && ::IsWindowEnabled(window);
    const bool anyFolder = std::any_of(offered.begin(), offered.end(),
                                       [](const std::string& path) { return IsFolder(path); });
    const PicturePlan plan =
        canPlace ? PlanHandedPictures(offered.size(), anyFolder, *argCount, FilledSlots(*argCount))
                 : PicturePlan{};
    if (plan.waits) {
        if (!argCount)
            SetItemText(window, kInputStatusId, WaitingPicturesText(offered));
        else if (!canPlace)
            ::SetTimer(window, kRetryTimer, kRetryMs, nullptr);
        return;
    }
    const std::vector<std::string> paths = std::move(offered);
    offered.clear();
    SetOutputStatus(window, "");
    if (plan.slotOneSet) {
        FillSlotOne(window, paths, *argCount);
        return;
    }
    for (std::size_t i = 0; i < paths.size() && i < plan.slots.size(); ++i)
        FillSlot(window, plan.slots[i], paths[i], *argCount);
}

bool OnHandedPicturesTimer(HWND window, UINT_PTR timer) {
    if (timer != kRetryTimer)
        return false;
    ::KillTimer(window, kRetryTimer);
    PlaceHandedPictures(window);
    return true;
}

bool OnHandedPictures(HWND window, const COPYDATASTRUCT* data) {
    if (data == nullptr || data->dwData != kHandedPicturesTag)
        return false;
    std::vector<std::wstring> paths;
    for (const std::u16string& path : SplitHandedPaths(data->lpData, data->cbData))
        paths.emplace_back(path.begin(), path.end());
    if (paths.empty())
        return false;
    // Placed once the sender has its answer: a slow decode must not hold the second start.
    KeepHandedPictures(paths);
    ::PostMessageW(window, kPlaceHandedPicturesMessage, 0, 0);
    return true;
}

}  // namespace quillon

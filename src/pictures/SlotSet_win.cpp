#include "pictures/SlotSet_win.h"

#include <algorithm>

#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Files_win.h"
#include "base/Text.h"
#include "pictures/PictureFilter.h"
#include "pictures/InputSlots.h"
#include "pictures/InputSlots_win.h"

namespace quillon {

namespace {

constexpr int kCountLabelId = 1190;
constexpr int kCountLabelHeight = 16;
constexpr int kCountLabelMargin = 2;

std::vector<std::string>& Set() {
    static std::vector<std::string> set;
    return set;
}

std::vector<std::string>& Folders() {
    static std::vector<std::string> folders;
    return folders;
}

std::string Count(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

HWND SlotOneArea(HWND window) {
    return ::GetDlgItem(window, InputSlots()[1].controlId);
}

// The count of the pictures behind the one shown, in a label of our own at the foot of
// slot 1's area; the label goes with the area when the slots are laid out anew.
void ShowCount(HWND window, std::size_t others) {
    HWND area = SlotOneArea(window);
    if (area == nullptr)
        return;
    HWND label = ::GetDlgItem(area, kCountLabelId);
    if (others == 0) {
        if (label != nullptr)
            ::DestroyWindow(label);
        return;
    }
    RECT client{};
    ::GetClientRect(area, &client);
    const int top = client.bottom - kCountLabelHeight - kCountLabelMargin;
    if (label == nullptr) {
        label = ::CreateWindowExW(
            0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER, kCountLabelMargin, top,
            client.right - 2 * kCountLabelMargin, kCountLabelHeight, area,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCountLabelId)), nullptr, nullptr);
        ::SendMessageW(label, WM_SETFONT, ::SendMessageW(window, WM_GETFONT, 0, 0), FALSE);
    }
    ::SetWindowTextW(label, WidenAnsi("+ " + std::to_string(others) + " more").c_str());
}

}  // namespace

const std::vector<std::string>& SlotOneSet() {
    return Set();
}

const std::vector<std::string>& SlotOneFolders() {
    return Folders();
}

std::vector<FolderPicture> SlotOneSetFor(bool withSubfolders) {
    std::vector<FolderPicture> pictures;
    if (withSubfolders && !Folders().empty()) {
        for (const std::string& path : Set()) {
            if (std::none_of(Folders().begin(), Folders().end(), [&](const std::string& folder) {
                    return EqualsIgnoringAsciiCase(FolderOf(path), folder);
                }))
                pictures.push_back({path, std::string()});
        }
        for (const std::string& folder : Folders()) {
            for (FolderPicture& picture : PicturesInFolder(folder, true))
                pictures.push_back(std::move(picture));
        }
        return pictures;
    }
    for (const std::string& path : Set())
        pictures.push_back({path, std::string()});
    return pictures;
}

void FillSlotOne(HWND window, const std::vector<std::string>& sources, int argCount) {
    std::vector<std::string> paths;
    std::vector<std::string> folders;
    std::size_t notPictures = 0;
    for (const std::string& source : sources) {
        if (IsFolder(source)) {
            folders.push_back(source.back() == '\\' ? source : source + '\\');
            for (FolderPicture& picture : PicturesInFolder(folders.back(), false))
                paths.push_back(std::move(picture.path));
        } else if (sources.size() == 1 || IsPictureFileName(FileNameOf(source))) {
            paths.push_back(source);
        } else {
            ++notPictures;
        }
    }
    if (paths.empty()) {
        RefusalBeep();
        SetItemText(window, kInputStatusId,
                    notPictures > 0 ? Count(notPictures, "file", "files") + ", no picture"
                                    : "No pictures in that folder");
        return;
    }
    // The first picture that loads is the one shown; one that does not stays in the set,
    // where its run reports it.
    std::size_t shown = 0;
    for (; shown < paths.size(); ++shown) {
        FillSlot(window, 1, paths[shown], argCount);
        if (TrimBlanks(InputSlots()[1].path) == paths[shown])
            break;
    }
    if (shown >= paths.size() || paths.size() < 2)
        return;
    Set() = std::move(paths);
    Folders() = std::move(folders);
    ShowCount(window, Set().size() - 1);
    SetItemText(window, kInputStatusId,
                Count(Set().size(), "picture", "pictures") +
                    (notPictures > 0 ? " (" + Count(notPictures, "file that is", "files that are") +
                                           " no picture left out)"
                                     : std::string()));
}

void ForgetSlotOneSet(HWND window) {
    Set().clear();
    Set().shrink_to_fit();
    Folders().clear();
    ShowCount(window, 0);
}

}  // namespace quillon

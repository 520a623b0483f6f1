#include "pictures/SlotSet_win.h"

#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Files_win.h"
#include "base/Text.h"
#include "execution/PictureSet.h"
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

std::vector<std::string> ExpandPictureSources(const std::vector<std::string>& paths) {
    std::vector<std::string> pictures;
    for (const std::string& path : paths) {
        if (!IsFolder(path)) {
            pictures.push_back(path);
            continue;
        }
        const std::string folder = path.back() == '\\' ? path : path + '\\';
        for (std::string& picture : SetFromFolder(folder, FileNamesIn(folder)))
            pictures.push_back(std::move(picture));
    }
    return pictures;
}

void FillSlotOne(HWND window, const std::vector<std::string>& paths, int argCount) {
    // The first picture that loads is the one shown; one that does not stays in the set,
    // where its run reports it.
    std::size_t shown = 0;
    for (; shown < paths.size(); ++shown) {
        FillSlot(window, 1, paths[shown], argCount);
        if (TrimBlanks(InputSlots()[1].path) == paths[shown])
            break;
    }
    if (shown >= paths.size()) {
        if (paths.empty())
            RefusalBeep();
        return;
    }
    if (paths.size() < 2)
        return;
    Set() = paths;
    ShowCount(window, Set().size() - 1);
    SetItemText(window, kInputStatusId, std::to_string(Set().size()) + " pictures");
}

void ForgetSlotOneSet(HWND window) {
    Set().clear();
    Set().shrink_to_fit();
    ShowCount(window, 0);
}

}  // namespace quillon

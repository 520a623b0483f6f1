#include "pictures/InputSlots_win.h"

#include <optional>

#include <shellapi.h>

#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
#include "base/Files_win.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureChooser_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotLayout.h"
#include "pictures/SlotSet_win.h"

namespace quillon {

namespace {

constexpr COLORREF kLabelColour = RGB(200, 200, 200);

InputSlot& SlotAt(int index) {
    return InputSlots()[static_cast<std::size_t>(index)];
}

// The input area as the window last placed it.
PixelRect& InputArea() {
    static PixelRect area = kInputArea;
    return area;
}

void DrawSlotLabel(HWND area, int slot, int points) {
    HDC dc = PictureAreaDc(area);
    if (dc == nullptr)
        return;
    UniqueFont font = CreateArialFont(dc, points, false);
    ScopedSelectObject selected(dc, font.get());
    ::SetTextColor(dc, kLabelColour);
    ::SetBkMode(dc, TRANSPARENT);
    const std::wstring label = WidenAnsi(SlotLabel(slot));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
    const PixelPoint at = CentredTextOrigin(PictureAreaSize(area), {extent.cx, extent.cy});
    ::TextOutW(dc, at.x, at.y, label.c_str(), static_cast<int>(label.size()));
    RefreshPictureArea(area);
}

std::function<void(HWND)>& SlotChangeListener() {
    static std::function<void(HWND)> listener;
    return listener;
}

void SlotsChanged(HWND window) {
    if (SlotChangeListener())
        SlotChangeListener()(window);
}

std::function<void(HWND, int, const std::string&)>& SlotLandingListener() {
    static std::function<void(HWND, int, const std::string&)> listener;
    return listener;
}

}  // namespace

void SetSlotChangeListener(std::function<void(HWND window)> listener) {
    SlotChangeListener() = std::move(listener);
}

void SetSlotLandingListener(
    std::function<void(HWND window, int index, const std::string& path)> listener) {
    SlotLandingListener() = std::move(listener);
}

SlotPicture::~SlotPicture() {
    if (!reducedCopy_.empty())
        DeleteFileAnsi(reducedCopy_);
}

Gdiplus::GpImage* SlotImage(const InputSlot& slot) {
    // Slots only ever hold pictures made here.
    const auto* held = static_cast<const SlotPicture*>(slot.picture.get());
    return held == nullptr ? nullptr : held->get();
}

void LayoutSlots(HWND window, int argCount) {
    InputSlotTable& slots = InputSlots();
    slots[0].picture.reset();
    ForgetSlotOneSet(window);
    for (int i = 1; i <= kSlotCount; ++i) {
        if (HWND area = ::GetDlgItem(window, SlotAt(i).controlId))
            ::DestroyWindow(area);
        ClearInputSlot(SlotAt(i));
    }
    // The slots come right after the script list in the tab order, in slot order: a new
    // window would otherwise go last.
    HWND previous = ::GetDlgItem(window, kScriptListId);
    for (int slot = 1; slot <= SlotsCreated(argCount); ++slot) {
        const SlotGeometry geometry = *SlotRect(argCount, slot);
        HWND area = CreatePictureArea(window, SlotAt(slot).controlId,
                                      PlaceInInputArea(geometry.rect, InputArea()), true);
        if (area != nullptr && previous != nullptr)
            ::SetWindowPos(area, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = area;
        DrawSlotLabel(area, slot, geometry.labelPoints);
        SetSpokenText(area, SlotSpokenText(slot, argCount, "", 0, 0));
    }
    SetItemText(window, kInputStatusId, SlotHintText(argCount));
    EnableItem(window, kExecuteButtonId, argCount == 0);
    ::DragAcceptFiles(window, argCount == 0 ? FALSE : TRUE);
    EnableItem(window, kEditScriptButtonId, true);
    HWND output = ::GetDlgItem(window, kOutputPictureId);
    ClearPictureArea(output);
    SetSpokenText(output, OutputSpokenText("", 0, 0));
    RefreshPictureArea(output);
    SlotsChanged(window);
}

void PlaceInputArea(HWND window, const PixelRect& area) {
    InputArea() = area;
    int made = 0;
    while (made < kSlotCount && ::GetDlgItem(window, SlotAt(made + 1).controlId) != nullptr)
        ++made;
    for (int slot = 1; slot <= made; ++slot) {
        const SlotGeometry geometry = *SlotRect(made, slot);
        HWND control = ::GetDlgItem(window, SlotAt(slot).controlId);
        PlacePictureArea(control, PlaceInInputArea(geometry.rect, area));
        if (SlotImage(SlotAt(slot)) != nullptr)
            DrawPictureFitted(window, SlotImage(SlotAt(slot)), SlotAt(slot).controlId);
        else
            DrawSlotLabel(control, slot, geometry.labelPoints);
    }
}

int SlotUnderPointer(HWND window, HWND control, int argCount) {
    if (argCount <= 0 || control == nullptr || ::GetParent(control) != window)
        return 0;
    const int slot = SlotForControlId(InputSlots(), ::GetDlgCtrlID(control));
    return slot <= argCount ? slot : 0;
}

int UpdateHoverSlot(HWND window, HWND control, int argCount) {
    const int slot = SlotUnderPointer(window, control, argCount);
    if (slot != 0)
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return slot;
}

void ChoosePictureForSlot(HWND window, int index, std::optional<int> chosenArgCount) {
    if (!chosenArgCount) {
        // The decoration of the no-script state is showing: there is no slot to fill.
        RefusalBeep();
        return;
    }
    SetOutputStatus(window, "");
    if (index == 1) {
        const std::vector<std::string> paths = ChoosePictures(window);
        if (!paths.empty())
            FillSlotOne(window, paths, *chosenArgCount);
        return;
    }
    const std::string path = ChoosePicture(window);
    if (path.empty())
        return;
    FillSlot(window, index, path, *chosenArgCount);
}

void FillSlot(HWND window, int index, const std::string& path, int argCount) {
    if (index < 1 || index > kSlotCount)
        return;
    InputSlot& slot = SlotAt(index);
    if (SlotLandingListener())
        SlotLandingListener()(window, index, path);
    AreaPicture loaded =
        LoadPictureForArea(path, PictureAreaSize(::GetDlgItem(window, slot.controlId)));
    if (!loaded.preview) {
        SetItemText(window, kInputStatusId,
                    loaded.refusal.empty() ? kPictureNotSupportedText : loaded.refusal);
        RefusalBeep();
        SlotsChanged(window);  // what was begun for the picture that did not land is undone
        return;
    }
    const PixelSize size = loaded.size;
    if (index == 1)
        ForgetSlotOneSet(window);
    slot.picture =
        std::make_unique<SlotPicture>(std::move(loaded.preview), std::move(loaded.reducedCopy));
    slot.path = path;
    slot.width = size.width;
    slot.height = size.height;
    DrawPictureFitted(window, SlotImage(slot), slot.controlId);
    SetSpokenText(::GetDlgItem(window, slot.controlId),
                  SlotSpokenText(index, argCount, path, size.width, size.height));
    SetItemText(window, kInputStatusId, PictureStatusText(path, size.width, size.height));
    if (AllInputsFilled(InputSlots(), argCount))
        EnableItem(window, kExecuteButtonId, true);
    SlotsChanged(window);
}

void EmptySlot(HWND window, int index, std::optional<int> chosenArgCount) {
    const int argCount = chosenArgCount.value_or(0);
    const std::optional<SlotGeometry> geometry = SlotRect(argCount, index);
    if (!geometry) {
        RefusalBeep();  // no script, or no such slot: nothing to empty
        return;
    }
    if (index == 1)
        ForgetSlotOneSet(window);
    ClearInputSlot(SlotAt(index));
    HWND area = ::GetDlgItem(window, SlotAt(index).controlId);
    ClearPictureArea(area);
    DrawSlotLabel(area, index, geometry->labelPoints);
    SetSpokenText(area, SlotSpokenText(index, argCount, "", 0, 0));
    SetItemText(window, kInputStatusId, SlotHintText(argCount));
    EnableItem(window, kExecuteButtonId, false);
    SlotsChanged(window);
}

void SetOutputStatus(HWND window, const std::string& text, const std::string& producedFile) {
    InputSlots()[0].path = producedFile;
    SetItemText(window, kOutputStatusId, text);
}

}  // namespace quillon

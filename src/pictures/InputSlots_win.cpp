#include "pictures/InputSlots_win.h"

#include <optional>

#include <shellapi.h>

#include "app/AnsiText_win.h"
#include "app/AppState_win.h"
#include "app/Feedback_win.h"
#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureChooser_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotLayout.h"

namespace quillon {

namespace {

constexpr COLORREF kLabelColour = RGB(200, 200, 200);

InputSlot& SlotAt(int index) {
    return InputSlots()[static_cast<std::size_t>(index)];
}

// The chosen script's number of input pictures; nothing while no script is chosen.
std::optional<int> ChosenArgCount() {
    const AppState& app = App();
    if (app.currentScript == 0 || !app.catalogue.Contains(app.currentScript))
        return std::nullopt;
    return app.catalogue.At(app.currentScript).argCount;
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

}  // namespace

Gdiplus::GpImage* SlotImage(const InputSlot& slot) {
    // Slots only ever hold pictures made here.
    const auto* held = static_cast<const SlotPicture*>(slot.picture.get());
    return held == nullptr ? nullptr : held->get();
}

void LayoutSlots(int argCount) {
    HWND window = App().mainWindow;
    InputSlotTable& slots = InputSlots();
    slots[0].picture.reset();
    for (int i = 1; i <= kSlotCount; ++i) {
        if (HWND area = ::GetDlgItem(window, SlotAt(i).controlId))
            ::DestroyWindow(area);
        ClearInputSlot(SlotAt(i));
    }
    for (int slot = 1; slot <= SlotsCreated(argCount); ++slot) {
        const SlotGeometry geometry = *SlotRect(argCount, slot);
        HWND area = CreatePictureArea(window, SlotAt(slot).controlId, geometry.rect);
        DrawSlotLabel(area, slot, geometry.labelPoints);
    }
    SetControlText(kInputStatusId, SlotHintText(argCount));
    EnableControl(kExecuteButtonId, argCount == 0);
    ::DragAcceptFiles(window, argCount == 0 ? FALSE : TRUE);
    EnableControl(kEditScriptButtonId, true);
    HWND output = ::GetDlgItem(window, kOutputPictureId);
    ClearPictureArea(output);
    RefreshPictureArea(output);
}

int SlotUnderPointer(HWND control) {
    const std::optional<int> argCount = ChosenArgCount();
    if (!argCount || *argCount == 0 || control == nullptr ||
        ::GetParent(control) != App().mainWindow) {
        return 0;
    }
    const int slot = SlotForControlId(InputSlots(), ::GetDlgCtrlID(control));
    return slot <= *argCount ? slot : 0;
}

bool UpdateHoverSlot(HWND control) {
    AppState& app = App();
    app.hoverSlot = SlotUnderPointer(control);
    if (app.hoverSlot == 0)
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void ChoosePictureForSlot(int index) {
    if (App().currentScript == 0) {
        // The decoration of the no-script state is showing: there is no slot to fill.
        RefusalBeep();
        return;
    }
    SetControlText(kOutputStatusId, "");
    const std::string path = ChoosePicture();
    if (path.empty())
        return;
    FillSlot(index, path);
}

void FillSlot(int index, const std::string& path) {
    if (index < 1 || index > kSlotCount)
        return;
    PictureOwner picture = LoadPictureFile(path);
    if (!picture) {
        SetControlText(kInputStatusId, kPictureNotSupportedText);
        RefusalBeep();
        return;
    }
    const PixelSize size = PictureSize(picture.get());
    InputSlot& slot = SlotAt(index);
    slot.picture = std::make_unique<SlotPicture>(std::move(picture));
    slot.path = path;
    slot.width = size.width;
    slot.height = size.height;
    DrawPictureFitted(SlotImage(slot), slot.controlId);
    SetControlText(kInputStatusId, PictureStatusText(path, size.width, size.height));
    const std::optional<int> argCount = ChosenArgCount();
    if (argCount && AllInputsFilled(InputSlots(), *argCount))
        EnableControl(kExecuteButtonId, true);
}

}  // namespace quillon

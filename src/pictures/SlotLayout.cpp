#include "pictures/SlotLayout.h"

#include <array>

#include "base/Text.h"

namespace quillon {

namespace {

// One row per slot of each layout, in slot order. The three-picture layout's gaps are 4
// and 2 pixels: the stack fills exactly the same area as every other layout.
struct SlotRow {
    int argCount;
    int slot;
    SlotGeometry geometry;
};

constexpr std::array<SlotRow, 10> kSlotTable{{
    {1, 1, {{8, 40, 240, 216}, 48}},
    {2, 1, {{8, 40, 118, 216}, 26}},
    {2, 2, {{130, 40, 118, 216}, 26}},
    {3, 1, {{8, 40, 240, 70}, 30}},
    {3, 2, {{8, 114, 240, 70}, 30}},
    {3, 3, {{8, 186, 240, 70}, 30}},
    {4, 1, {{8, 40, 118, 106}, 20}},
    {4, 2, {{130, 40, 118, 106}, 20}},
    {4, 3, {{8, 150, 118, 106}, 20}},
    {4, 4, {{130, 150, 118, 106}, 20}},
}};

constexpr std::string_view kLongPathPrefix = "\\\\?\\";

}  // namespace

std::optional<SlotGeometry> SlotRect(int argCount, int slot) {
    for (const SlotRow& row : kSlotTable) {
        if (row.argCount == argCount && row.slot == slot)
            return row.geometry;
    }
    return std::nullopt;
}

PixelRect PlaceInInputArea(const PixelRect& rect, const PixelRect& area) {
    constexpr PixelRect drawnArea = kInputArea;
    // Edges, not sizes, are placed, so slots that touch or share a gap keep doing so.
    const auto x = [&](int drawn) {
        return area.x + static_cast<int>((static_cast<long long>(drawn - drawnArea.x) * area.width +
                                          drawnArea.width / 2) /
                                         drawnArea.width);
    };
    const auto y = [&](int drawn) {
        return area.y +
               static_cast<int>((static_cast<long long>(drawn - drawnArea.y) * area.height +
                                 drawnArea.height / 2) /
                                drawnArea.height);
    };
    const int left = x(rect.x);
    const int top = y(rect.y);
    return {left, top, x(rect.x + rect.width) - left, y(rect.y + rect.height) - top};
}

int SlotsCreated(int argCount) {
    return argCount >= 1 && argCount <= 4 ? argCount : 0;
}

std::string SlotLabel(int slot) {
    return "arg #" + std::to_string(slot);
}

std::string SlotHintText(int argCount) {
    if (argCount == 0)
        return "No input pic necessary";
    const bool several = argCount > 1;
    const std::string amount = several ? std::to_string(argCount) : "a";
    const std::string plural = several ? "s" : "";
    return "Drag & drop " + amount + " picture" + plural + " on the area" + plural + " above";
}

std::string PictureStatusText(std::string_view path, int width, int height) {
    return std::string(FileNameOf(path)) + " " + std::to_string(width) + "x" +
           std::to_string(height);
}

namespace {

std::string SpokenPicture(std::string_view path, int width, int height) {
    if (path.empty())
        return "empty";
    return std::string(FileNameOf(path)) + ", " + std::to_string(width) + " by " +
           std::to_string(height);
}

}  // namespace

std::string SlotSpokenText(int slot, int slotCount, std::string_view path, int width, int height) {
    return "Picture " + std::to_string(slot) + " of " + std::to_string(slotCount) + ": " +
           SpokenPicture(path, width, height);
}

std::string OutputSpokenText(std::string_view path, int width, int height) {
    return "Output: " + SpokenPicture(path, width, height);
}

bool HasUnrepresentableMark(std::string_view path) {
    if (path.substr(0, kLongPathPrefix.size()) == kLongPathPrefix)
        path.remove_prefix(kLongPathPrefix.size());
    return path.find('?') != std::string_view::npos;
}

}  // namespace quillon

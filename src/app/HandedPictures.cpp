#include "app/HandedPictures.h"

#include <cstring>

#include "base/Text.h"
#include "pictures/InputSlots.h"

namespace quillon {

std::u16string JoinHandedPaths(const std::vector<std::u16string>& paths) {
    std::u16string block;
    for (const std::u16string& path : paths) {
        block += path;
        block += u'\0';
    }
    return block;
}

std::vector<std::u16string> SplitHandedPaths(const void* block, std::size_t size) {
    std::vector<std::u16string> paths;
    if (block == nullptr)
        return paths;
    // Copied unit by unit: the block comes from another process, aligned or not.
    const auto* bytes = static_cast<const unsigned char*>(block);
    std::u16string path;
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        char16_t unit = 0;
        std::memcpy(&unit, bytes + at, sizeof(unit));
        if (unit != u'\0') {
            path += unit;
        } else if (!path.empty()) {
            paths.push_back(std::move(path));
            path.clear();
        }
    }
    if (!path.empty())
        paths.push_back(std::move(path));
    return paths;
}

PicturePlan PlanHandedPictures(std::size_t count, bool anyFolder, int argCount,
                               const std::vector<bool>& filled) {
    PicturePlan plan;
    if (count == 0 || argCount <= 0 || argCount > kSlotCount)
        return plan;
    plan.waits = false;
    const auto slots = static_cast<std::size_t>(argCount);
    if (anyFolder || count > slots) {
        plan.slotOneSet = true;
        return plan;
    }
    std::vector<int> empty;
    for (int slot = 1; slot <= argCount; ++slot) {
        const auto index = static_cast<std::size_t>(slot - 1);
        if (index >= filled.size() || !filled[index])
            empty.push_back(slot);
    }
    for (std::size_t i = 0; i < count; ++i)
        plan.slots.push_back(count <= empty.size() ? empty[i] : static_cast<int>(i) + 1);
    return plan;
}

std::string WaitingPicturesText(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        std::string_view path = paths.front();
        while (path.size() > 1 && path.back() == '\\')
            path.remove_suffix(1);  // a folder handed with its backslash is named by its name
        return "Choose a script for " + std::string(FileNameOf(path));
    }
    return "Choose a script for " + std::to_string(paths.size()) + " pictures";
}

}  // namespace quillon

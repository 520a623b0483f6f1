// Pictures handed to the program from outside, on its command line or by a second start:
// how they travel between two starts and which slots they go to.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

// The paths as one block for another process: each path followed by a NUL.
std::u16string JoinHandedPaths(const std::vector<std::u16string>& paths);

// The paths in such a block of `size` bytes; empty entries and a stray last byte are
// dropped, and a block whose last path lacks its NUL still gives that path.
std::vector<std::u16string> SplitHandedPaths(const void* block, std::size_t size);

// Where handed pictures go once a script is chosen.
struct PicturePlan {
    bool waits = true;        // no slot can take them yet: they wait for a script that can
    bool slotOneSet = false;  // all of them become slot 1's set, as a drop of them there would
    std::vector<int> slots;   // otherwise the slot (1 to 4) of each picture, in order
};

// The plan for `count` pictures (anyFolder: one of them is a folder) and a script taking
// argCount pictures whose slots 1 to argCount are filled as `filled` says. Single pictures
// go to the empty slots in order, or from slot 1 on when too few are empty; more pictures
// than slots, or a folder, make slot 1's set.
PicturePlan PlanHandedPictures(std::size_t count, bool anyFolder, int argCount,
                               const std::vector<bool>& filled);

// The status line's hint while handed pictures wait for a script: the one picture's name or
// how many there are.
std::string WaitingPicturesText(const std::vector<std::string>& paths);

}  // namespace quillon

// Execute with many pictures in slot 1: the question, the progress window while the set
// runs on its own threads, and the summary.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillon {

// Runs the selected script over slot 1's set. The last output created, or nothing when no
// picture was made (declined, refused, cancelled before any, or all failed).
std::optional<std::string> RunSlotOneSet(HWND window);

}  // namespace quillon

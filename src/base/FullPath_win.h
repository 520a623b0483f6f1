// A path made full (drive or share, every "." and ".." resolved) as Windows does it.
#pragma once

#include <optional>
#include <string>

namespace quillon {

// The full form of path; nothing when Windows cannot make one.
std::optional<std::wstring> FullPathOf(const std::wstring& path);

}  // namespace quillon

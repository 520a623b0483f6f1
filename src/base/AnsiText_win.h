// The one place where the program's single-byte (ANSI code page) text meets the UTF-16
// that Windows' wide functions take.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// ANSI text to UTF-16; every ANSI byte sequence has a UTF-16 form.
std::wstring WidenAnsi(std::string_view ansi);

// UTF-16 to ANSI, or nothing when some character has no exact ANSI form (so a name is
// never silently turned into another one).
std::optional<std::string> NarrowToAnsi(std::wstring_view wide);

// UTF-16 to ANSI with every unrepresentable character written as '?'. Windows forbids '?'
// in file names, so a path made this way can never open a different file than meant.
std::string NarrowToAnsiMarked(std::wstring_view wide);

}  // namespace quillon
